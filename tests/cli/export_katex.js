// Reads LaTeX formulas, one per line, from the file named first and renders each with
// KaTeX (display mode, strict). Prints one line per formula: the counts of fractions,
// square roots, roots with a degree and under-over signs in KaTeX's own MathML, as
// "mfrac msqrt mroot munderover". Exits 1 on the first formula KaTeX refuses.
const fs = require('fs');
const pfade = ['/usr/share/javascript/katex/katex.js', '/usr/share/nodejs/katex/dist/katex.js'];
const katex = require(pfade.find((p) => fs.existsSync(p)));
const zeilen = fs.readFileSync(process.argv[2], 'utf8').split('\n');
if (zeilen[zeilen.length - 1] === '') zeilen.pop();
const zaehlen = (s, tag) => (s.match(new RegExp('<' + tag + '[ >]', 'g')) || []).length;
let aus = '';
zeilen.forEach((z, i) => {
  let html;
  try {
    html = katex.renderToString(z, {displayMode: true, throwOnError: true, strict: 'error'});
  } catch (e) {
    console.error('KaTeX refuses line ' + (i + 1) + ': ' + z + '\n  ' + e.message);
    process.exit(1);
  }
  const mathml = html.slice(html.indexOf('<math'), html.indexOf('</math>'));
  aus += ['mfrac', 'msqrt', 'mroot', 'munderover'].map((t) => zaehlen(mathml, t)).join(' ') + '\n';
});
process.stdout.write(aus);
