// Runs the Khronos glTF validator on each file named on the command line (with its
// .bin buffer and images beside it) and prints what it found. Exits with 1 when any
// file has an error or a warning, so that a test fails on either.
//   node tests/gltf/validate.js FILE.gltf|FILE.glb ...
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
  const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
    uri: path.basename(file),
    maxIssues: 0,
    externalResourceFunction: (uri) =>
      new Promise((resolve, reject) => {
        fs.readFile(path.join(path.dirname(file), decodeURIComponent(uri)), (error, data) =>
          error ? reject(error.toString()) : resolve(new Uint8Array(data)));
      }),
  });
  const issues = report.issues;
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos, ` +
              `${issues.numHints} hints`);
  for (const message of issues.messages) {
    const severity = ['error', 'warning', 'info', 'hint'][message.severity];
    console.log(`  ${severity} ${message.code} ${message.pointer || ''}: ${message.message}`);
  }
  return issues.numErrors === 0 && issues.numWarnings === 0;
}

(async () => {
  let clean = true;
  for (const file of process.argv.slice(2)) {
    try {
      clean = (await validate(file)) && clean;
    } catch (error) {
      console.log(`${file}: cannot be validated: ${error}`);
      clean = false;
    }
  }
  process.exit(clean ? 0 : 1);
})();
