// The reference for the engine benchmark: getBirthForceNumber of the npm
// package numerology-core 1.2.0 on every date of the calendar range,
// 1753-01-01 to 9999-12-31, written "mm/dd/yyyy" exactly as our engine gets
// them (BM_EngineAllDates in core_bench.cpp). The package sums the digits of
// whatever text it is given and reduces the sum, so the same texts serve.
//
//   node bench/reference_engine.js MODULE_DIR [RUNS]
//
// MODULE_DIR is the installed package (…/node_modules/numerology-core). The
// texts are prepared before timing, one untimed pass warms the JIT up, then
// RUNS timed passes follow; prints each pass and the median in dates/s.
'use strict';

const path = require('path');

const moduleDir = process.argv[2];
const runs = Number(process.argv[3] || 5);
if (!moduleDir || !(runs > 0)) {
  console.error('usage: node reference_engine.js MODULE_DIR [RUNS]');
  process.exit(2);
}
const loaded = require(path.resolve(moduleDir));
const Numerology = loaded.default || loaded; // built from ES modules by Babel
const numerology = new Numerology();

const two = (n) => (n < 10 ? '0' : '') + n;
const daysIn = (y, m) =>
  m === 2 ? ((y % 4 === 0 && y % 100 !== 0) || y % 400 === 0 ? 29 : 28)
          : [31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][m - 1];
const texts = [];
for (let y = 1753; y <= 9999; y++)
  for (let m = 1; m <= 12; m++)
    for (let d = 1; d <= daysIn(y, m); d++)
      texts.push(`${two(m)}/${two(d)}/${y}`);
if (texts.length !== 3012154) {
  console.error(`wrong number of dates: ${texts.length}`);
  process.exit(1);
}

function pass() {
  let sum = 0;
  const start = process.hrtime.bigint();
  for (let i = 0; i < texts.length; i++)
    sum += numerology.getBirthForceNumber(texts[i]);
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  return { seconds, sum };
}

const warm = pass();
const rates = [];
for (let r = 0; r < runs; r++) {
  const { seconds, sum } = pass();
  if (sum !== warm.sum) {
    console.error('the reference gave different results on the same dates');
    process.exit(1);
  }
  rates.push(texts.length / seconds);
  console.log(`pass ${r + 1}: ${(seconds * 1000).toFixed(1)} ms, ${(texts.length / seconds / 1e6).toFixed(3)} M dates/s`);
}
rates.sort((a, b) => a - b);
const mid = rates.length >> 1;
const median = rates.length % 2 ? rates[mid] : (rates[mid - 1] + rates[mid]) / 2;
console.log(`median dates_per_second=${median.toFixed(0)} dates=${texts.length} node=${process.version}`);
