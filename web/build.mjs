// Assembles the page into OUTDIR from the core's module (built by the web preset) and the files
// here: the worker's source, with fflate and the module before it, goes into engine.js as one string,
// so that a page opened from disk can start it from a Blob without fetching anything.
import { copyFileSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const [moduleFile, outDir, libdeflateLicenseFile] = process.argv.slice(2);
if (!moduleFile || !outDir || !libdeflateLicenseFile) {
  console.error('usage: node build.mjs VELKORIN_JS OUTDIR LIBDEFLATE_COPYING');
  process.exit(64);
}
const here = dirname(fileURLToPath(import.meta.url));
const fflateDir = join(here, 'node_modules', 'fflate');
const fflate = readFileSync(join(fflateDir, 'umd', 'index.js'), 'utf8');
const fflateLicense = readFileSync(join(fflateDir, 'LICENSE'), 'utf8');

const comment = (text) => text.replaceAll('*/', '* /');
const workerSource = [
  `/* fflate, MIT License:\n${comment(fflateLicense)}*/`,
  `/* libdeflate, in the core:\n${comment(readFileSync(libdeflateLicenseFile, 'utf8'))}*/`,
  fflate,
  readFileSync(moduleFile, 'utf8'),
  readFileSync(join(here, 'worker.js'), 'utf8'),
].join('\n;\n');

mkdirSync(outDir, { recursive: true });
writeFileSync(join(outDir, 'engine.js'),
  `// The worker's source: fflate, Velkorin's core as WebAssembly, and web/worker.js; then the pool of\n` +
  `// workers that runs it, web/pool.js.\n` +
  `var velkorinWorkerSource = ${JSON.stringify(workerSource)};\n${readFileSync(join(here, 'pool.js'), 'utf8')}`);
for (const file of ['index.html', 'app.js', 'style.css']) copyFileSync(join(here, file), join(outDir, file));
