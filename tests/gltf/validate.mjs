// Validates binary glTF files with the Khronos glTF validator and prints each
// report: a summary line per file and every issue found.
//
// Severity policy: a file passes with no error and no warning. Infos and hints
// (an object no other object uses, an image whose sides are not powers of
// two) are printed but allowed: they describe valid files.
//
// Usage: node validate.mjs FILE.glb... ; exit status 0 when every file passes,
// 1 when one does not, 2 on a usage error.
import { readFile } from 'node:fs/promises';
import { validateBytes, version } from 'gltf-validator';

const severityNames = ['error', 'warning', 'info', 'hint'];
const printedIssuesPerFile = 50;

const files = process.argv.slice(2);
if (files.length === 0) {
  console.error('usage: node validate.mjs FILE.glb...');
  process.exit(2);
}

console.log(`glTF validator ${version()}`);
let failed = 0;
for (const file of files) {
  let report;
  try {
    const bytes = await readFile(file);
    report = await validateBytes(new Uint8Array(bytes), {
      uri: file,
      format: 'glb',
      maxIssues: 1000,
      writeTimestamp: false,
    });
  } catch (error) {
    console.log(`${file}: not validated: ${error}`);
    failed += 1;
    continue;
  }
  const issues = report.issues;
  const passes = issues.numErrors === 0 && issues.numWarnings === 0;
  console.log(`${file}: ${passes ? 'passes' : 'FAILS'}: ${issues.numErrors} errors, ` +
              `${issues.numWarnings} warnings, ${issues.numInfos} infos, ${issues.numHints} hints` +
              (issues.truncated ? ' (more issues than listed)' : ''));
  for (const message of issues.messages.slice(0, printedIssuesPerFile)) {
    const where = message.pointer ?? (message.offset !== undefined ? `byte ${message.offset}` : '');
    const severity = severityNames[message.severity] ?? message.severity;
    console.log(`  ${severity} ${message.code} ${where}: ${message.message}`);
  }
  if (issues.messages.length > printedIssuesPerFile)
    console.log(`  ... ${issues.messages.length - printedIssuesPerFile} more`);
  if (report.info) {
    const info = report.info;
    console.log(`  ${info.generator ?? ''}; ${info.drawCallCount ?? '?'} draw calls, ` +
                `${info.totalVertexCount ?? '?'} vertices, ${info.totalTriangleCount ?? '?'} triangles, ` +
                `extensions: ${(info.extensionsUsed ?? []).join(', ') || 'none'}`);
  }
  if (!passes) failed += 1;
}
console.log(`${files.length - failed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
