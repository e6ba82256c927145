// The messages panel: keeps every message of the plug-in, the host and the page, newest last.

// The module works in folders of its in-memory file system (/kveltar/N/in, /kveltar/N/out); a
// person knows the files by their own names.
const withoutWorkFolders = (text) => text.replace(/\/kveltar\/\d+\/(?:in|out)\//g, '');

// Creates the panel's functions over the list element `log` (inside the role="log" region).
export function createMessages(log) {
  // Appends one message; kind is 'error', 'warning' or 'info'. Returns the list item.
  function add(kind, text) {
    const item = document.createElement('li');
    item.className = kind;
    item.textContent = kind === 'info' ? text : `${kind}: ${text}`;
    log.append(item);
    log.scrollTop = log.scrollHeight;
    return item;
  }
  return {
    add,
    // Appends the messages of one call of the module, under a line saying what was done.
    addAll(what, messages) {
      add('info', what);
      for (const { kind, text } of messages) add(kind === 'error' ? 'error' : 'warning', withoutWorkFolders(text));
    },
    // Appends a question with one button per answer; `answers` maps button texts to actions.
    // The buttons go once one is pressed.
    ask(text, answers) {
      const item = add('warning', text);
      const buttons = document.createElement('div');
      for (const [label, action] of Object.entries(answers)) {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = label;
        button.addEventListener('click', () => { buttons.remove(); action(); });
        buttons.append(button);
      }
      item.append(buttons);
      return item;
    },
  };
}
