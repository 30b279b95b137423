// Runs the web client's scripts (as the server serves them, from the folder given) in node
// and prints one JSON object for TestBrowserScripts.cpp to judge:
//   md5:   texts whose lvMd5 differs from node's MD5 of their UTF-8 bytes
//   qr:    for each text, what zbarimg decodes from lvQrMatrix's modules (or "FAIL")
//   codes: the result-code constants global.js defines
//   body:  lvXmlBody of a form's fields, for the server's parser
"use strict";
const fs = require("fs"), vm = require("vm"), path = require("path"), os = require("os");
const crypto = require("crypto"), cp = require("child_process");

const dir = process.argv[2];
const context = { document: { addEventListener() {} }, Blob: class {}, ArrayBuffer, TextEncoder };
vm.createContext(context);
for (const name of ["qrcode.js", "md5.js", "global.js"]) // qrcode.js stands alone
  vm.runInContext(fs.readFileSync(path.join(dir, name), "utf8"), context, { filename: name });

const out = { md5: [], qr: [], codes: {}, body: "", fields: {} };

for (const text of ["", "a", "123456", "Passw0rd!", "钢琴老师😀", "x".repeat(55), "x".repeat(56), "y".repeat(1000)]) {
  const want = crypto.createHash("md5").update(text, "utf8").digest("hex");
  if (context.lvMd5(text) !== want) out.md5.push(text);
}

const texts = JSON.parse(process.argv[3]);
const image = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "qr-")), "qr.pgm");
for (const text of texts) {
  const m = context.lvQrMatrix(text);
  if (!m) { out.qr.push(null); continue; }
  const n = m.length, scale = 4, quiet = 4, w = (n + 2 * quiet) * scale;
  const rows = [];
  for (let y = 0; y < w; y++) {
    const row = [];
    for (let x = 0; x < w; x++) {
      const my = Math.floor(y / scale) - quiet, mx = Math.floor(x / scale) - quiet;
      row.push(my >= 0 && my < n && mx >= 0 && mx < n && m[my][mx] ? 0 : 255);
    }
    rows.push(row.join(" "));
  }
  fs.writeFileSync(image, `P2\n${w} ${w}\n255\n${rows.join("\n")}\n`);
  let decoded;
  try {
    decoded = cp.execFileSync("zbarimg", ["-q", "--raw", image], { stdio: ["ignore", "pipe", "ignore"] })
                .toString("utf8").replace(/\n$/, "");
  } catch (e) {
    decoded = "FAIL";
  }
  out.qr.push(decoded);
}
fs.rmSync(path.dirname(image), { recursive: true });

for (const name of Object.getOwnPropertyNames(context))
  if (name.startsWith("ERR_")) out.codes[name] = context[name];

// a form as the browser gives it: a password typed in clear goes as its MD5
const form = { tagName: "FORM", elements: [
  { name: "UserName", type: "text", value: "王<老师> & \"Co\"", hasAttribute: () => false },
  { name: "password", type: "password", value: "123456", hasAttribute: (a) => a === "data-md5" },
  { name: "remember", type: "checkbox", value: "on", checked: false, hasAttribute: () => false },
  { name: "", type: "submit", value: "登录", hasAttribute: () => false },
] };
out.fields = context.lvFormFields(form);
out.body = context.lvXmlBody(out.fields);
process.stdout.write(JSON.stringify(out));
