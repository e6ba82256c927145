"""Finding and running kveltar-host, the program that loads the kveltar plug-in.

Every SOD file the add-on reads or writes goes through `kveltar-host convert`, so the
plug-in itself reads and writes the SOD format; Blender only ever sees glTF. This
module needs no Blender: it finds the program and turns one run of it into a result.
"""
import json
import os
import platform
import shutil
import subprocess
import sys
from dataclasses import dataclass, field

WINDOWS = sys.platform == "win32"
# The release's add-on carries a host and the plug-in for each system it is built
# for, in a folder of bin named for the system; the host loads the plug-in from
# beside itself.
BIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bin")
PLATFORMS = {("win32", "amd64"): "windows-x64", ("linux", "x86_64"): "linux-x64"}

EXIT_TEXTS = {
    1: "the plug-in failed, or a file could not be written",
    2: "kveltar-host could not start or could not read its input",
    3: "the plug-in stopped with a fault",
    4: "the plug-in's checks stopped the conversion; nothing was written",
}


def shipped_host(system=sys.platform, machine=platform.machine()):
    """The host the add-on carries for this system, or None when it carries none."""
    folder = PLATFORMS.get((system, machine.lower()))
    if folder is None:
        return None
    path = os.path.join(BIN, folder, "kveltar-host.exe" if system == "win32" else "kveltar-host")
    if not os.path.isfile(path):
        return None
    # Blender unpacks an add-on's zip without the files' modes: make the program runnable.
    if system != "win32" and not os.access(path, os.X_OK):
        try:
            os.chmod(path, 0o755)
        except OSError:
            return None
    return path


def find_host(preference, system=sys.platform, machine=platform.machine()):
    """The kveltar-host to run and None, or None and the reason none was found.

    A path set in the add-on's preferences is the one; without it, a kveltar-host on
    PATH, then the copy the add-on carries for this system.
    """
    if preference:
        if os.path.isfile(preference):
            return preference, None
        return None, f"kveltar-host not found at {preference} (the path in the add-on's preferences)"
    found = shutil.which("kveltar-host")
    if found:
        return found, None
    found = shipped_host(system, machine)
    if found:
        return found, None
    if (system, machine.lower()) not in PLATFORMS:
        return None, (f"kveltar-host not found: the add-on carries it for Windows and Linux on x86-64 only, not for "
                      f"{system} on {machine}; build kveltar-host from source (see the user guide) and set its path "
                      f"in the add-on's preferences (Edit > Preferences > Add-ons > ST Armada SOD format)")
    return None, ("kveltar-host not found: it is neither inside the add-on nor on PATH; "
                  "set its path in the preferences of the add-on")


@dataclass
class Result:
    """One conversion: its exit status, its messages as (kind, text), and what
    kveltar-host says it converted (meshes, triangles, materials, markers)."""
    status: int
    messages: list = field(default_factory=list)
    summary: dict = field(default_factory=dict)

    @property
    def ok(self):
        return self.status == 0

    @classmethod
    def failure(cls, text):
        return cls(status=-1, messages=[("error", text)])


def convert(host, source, target, options=()):
    """Runs `kveltar-host convert SOURCE TARGET --json OPTIONS...` and reads its answer."""
    return run_json([host, "convert", source, target, "--json", *options])


def set_markers(host, source, target, scene_file):
    """Runs `kveltar-host set-markers SOURCE TARGET --markers-from SCENE_FILE --json`:
    TARGET is SOURCE with only its markers replaced by the scene file's."""
    result = run_json([host, "set-markers", source, target, "--markers-from", scene_file, "--json"])
    if result.summary.get("error"):
        result.messages = [("error", result.summary["error"])] + [m for m in result.messages if m[0] != "error"]
    return result


def run_json(command):
    """Runs kveltar-host with --json and turns its answer into a Result."""
    host = command[0]
    try:
        run = subprocess.run(command, capture_output=True, text=True, encoding="utf-8", errors="replace",
                             creationflags=subprocess.CREATE_NO_WINDOW if WINDOWS else 0)
    except OSError as error:
        return Result.failure(f"could not run {host}: {error.strerror or error}")
    try:
        answer = json.loads(run.stdout)
    except ValueError:
        # Without JSON the host refused its command line or could not load the plug-in.
        text = run.stderr.strip() or EXIT_TEXTS.get(run.returncode, f"kveltar-host ended with {run.returncode}")
        return Result(status=run.returncode or -1, messages=[("error", line) for line in text.splitlines()])
    # The plug-in's message boxes break their lines; a report is one line.
    messages = [(m.get("kind", "error"), " ".join(m.get("text", "").split())) for m in answer.get("messages", [])]
    if run.returncode != 0 and not any(kind == "error" for kind, _ in messages):
        messages.append(("error", EXIT_TEXTS.get(run.returncode, f"kveltar-host ended with {run.returncode}")))
    return Result(status=run.returncode, messages=messages, summary=answer)
