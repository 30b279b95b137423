#!/usr/bin/env node
// One-off generator of resources/csv/429-areas.csv (not part of the build).
//
// Source: the npm package china-area-data 5.0.1 (MIT; its data.json holds the GB/T 2260
// division codes as published by the national statistics bureau, 2019-10-31). Install it in
// a scratch folder outside the repository and point this script at it:
//   mkdir /tmp/areas && (cd /tmp/areas && npm install china-area-data@5.0.1)
//   node tools/gen_area_table.js /tmp/areas/node_modules/china-area-data/data.json \
//       > resources/csv/429-areas.csv
// Only six-digit codes are kept (the package also lists towns of the cities without
// counties under nine-digit codes); rows are "code,name" in code order.
'use strict';
const fs = require('fs');

const data = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
const names = new Map();
for (const children of Object.values(data))
  for (const [code, name] of Object.entries(children))
    if (/^\d{6}$/.test(code))
      names.set(code, name);
const codes = [...names.keys()].sort();
process.stdout.write(codes.map((c) => `${c},${names.get(c)}\n`).join(''));
