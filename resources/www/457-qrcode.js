/* QR codes drawn in the browser: lvQrMatrix(text) gives the modules (rows of booleans, true
   dark) of the smallest QR code, byte mode over UTF-8 and error correction level M, that
   holds the text (versions 1 to 40; null when it is too long); lvQrCode(text, target) draws
   it into a canvas, or into any other element as an SVG. */
"use strict";

var lvQrMatrix = (function () {
  /* level M: error-correction codewords per block, and blocks, by version */
  var ECC = [0, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26, 26, 28, 28, 28,
             28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28];
  var BLOCKS = [0, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16, 17, 17, 18, 20, 21, 23, 25,
                26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49];
  var FORMAT_M = 0; /* the level's two format bits */

  function rawModules(ver) {
    var n = (16 * ver + 128) * ver + 64;
    if (ver >= 2) {
      var align = Math.floor(ver / 7) + 2;
      n -= (25 * align - 10) * align - 55;
      if (ver >= 7) n -= 36;
    }
    return n;
  }
  function dataCodewords(ver) { return Math.floor(rawModules(ver) / 8) - ECC[ver] * BLOCKS[ver]; }

  /* multiplication in GF(256) modulo x^8 + x^4 + x^3 + x^2 + 1 */
  function mul(x, y) {
    var z = 0;
    for (var i = 7; i >= 0; i--) {
      z = (z << 1) ^ ((z >>> 7) * 0x11d);
      z ^= ((y >>> i) & 1) * x;
    }
    return z;
  }
  function divisor(degree) {
    var result = [];
    for (var i = 0; i < degree - 1; i++) result.push(0);
    result.push(1);
    var root = 1;
    for (i = 0; i < degree; i++) {
      for (var j = 0; j < result.length; j++) {
        result[j] = mul(result[j], root);
        if (j + 1 < result.length) result[j] ^= result[j + 1];
      }
      root = mul(root, 2);
    }
    return result;
  }
  function remainder(data, div) {
    var result = div.map(function () { return 0; });
    data.forEach(function (b) {
      var factor = b ^ result.shift();
      result.push(0);
      div.forEach(function (coef, i) { result[i] ^= mul(coef, factor); });
    });
    return result;
  }

  function alignmentPositions(ver, size) {
    if (ver === 1) return [];
    var count = Math.floor(ver / 7) + 2;
    var step = Math.floor((ver * 8 + count * 3 + 5) / (count * 4 - 4)) * 2;
    var result = [6];
    for (var pos = size - 7; result.length < count; pos -= step) result.splice(1, 0, pos);
    return result;
  }

  return function (text) {
    var bytes = Array.prototype.slice.call(new TextEncoder().encode(String(text)));
    var ver, countBits;
    for (ver = 1; ver <= 40; ver++) {
      countBits = ver <= 9 ? 8 : 16;
      if (4 + countBits + bytes.length * 8 <= dataCodewords(ver) * 8) break;
    }
    if (ver > 40) return null;

    /* the data bits: mode, count, bytes, terminator, padding */
    var bits = [];
    function put(value, length) { for (var i = length - 1; i >= 0; i--) bits.push((value >>> i) & 1); }
    put(4, 4);
    put(bytes.length, countBits);
    bytes.forEach(function (b) { put(b, 8); });
    var capacity = dataCodewords(ver) * 8;
    put(0, Math.min(4, capacity - bits.length));
    put(0, (8 - bits.length % 8) % 8);
    for (var pad = 0xec; bits.length < capacity; pad ^= 0xec ^ 0x11) put(pad, 8);
    var data = [];
    for (var i = 0; i < bits.length; i += 8) {
      var byte = 0;
      for (var k = 0; k < 8; k++) byte = byte << 1 | bits[i + k];
      data.push(byte);
    }

    /* blocks with their error correction, interleaved */
    var blockCount = BLOCKS[ver], eccLength = ECC[ver];
    var raw = Math.floor(rawModules(ver) / 8);
    var shortBlocks = blockCount - raw % blockCount, shortLength = Math.floor(raw / blockCount);
    var div = divisor(eccLength), blocks = [];
    for (var b = 0, at = 0; b < blockCount; b++) {
      var part = data.slice(at, at + shortLength - eccLength + (b < shortBlocks ? 0 : 1));
      at += part.length;
      var ecc = remainder(part, div);
      if (b < shortBlocks) part.push(0);
      blocks.push(part.concat(ecc));
    }
    var codewords = [];
    for (i = 0; i < blocks[0].length; i++)
      blocks.forEach(function (block, j) {
        if (i !== shortLength - eccLength || j >= shortBlocks) codewords.push(block[i]);
      });

    /* the symbol: function patterns first, then the codewords in their zigzag */
    var size = ver * 4 + 17;
    var modules = [], fixed = [];
    for (i = 0; i < size; i++) {
      modules.push(new Array(size).fill(false));
      fixed.push(new Array(size).fill(false));
    }
    function set(x, y, dark) { modules[y][x] = dark; fixed[y][x] = true; }
    for (i = 0; i < size; i++) { set(6, i, i % 2 === 0); set(i, 6, i % 2 === 0); }
    [[3, 3], [size - 4, 3], [3, size - 4]].forEach(function (c) {
      for (var dy = -4; dy <= 4; dy++)
        for (var dx = -4; dx <= 4; dx++) {
          var d = Math.max(Math.abs(dx), Math.abs(dy)), x = c[0] + dx, y = c[1] + dy;
          if (x >= 0 && x < size && y >= 0 && y < size) set(x, y, d !== 2 && d !== 4);
        }
    });
    var align = alignmentPositions(ver, size), last = align.length - 1;
    align.forEach(function (ay, r) {
      align.forEach(function (ax, c) {
        if ((r === 0 && c === 0) || (r === 0 && c === last) || (r === last && c === 0)) return;
        for (var dy = -2; dy <= 2; dy++)
          for (var dx = -2; dx <= 2; dx++) set(ax + dx, ay + dy, Math.max(Math.abs(dx), Math.abs(dy)) !== 1);
      });
    });
    function drawFormat(mask) {
      var value = FORMAT_M << 3 | mask, rem = value;
      for (var i = 0; i < 10; i++) rem = (rem << 1) ^ ((rem >>> 9) * 0x537);
      var f = (value << 10 | rem) ^ 0x5412;
      function bit(i) { return ((f >>> i) & 1) !== 0; }
      for (i = 0; i <= 5; i++) set(8, i, bit(i));
      set(8, 7, bit(6)); set(8, 8, bit(7)); set(7, 8, bit(8));
      for (i = 9; i < 15; i++) set(14 - i, 8, bit(i));
      for (i = 0; i < 8; i++) set(size - 1 - i, 8, bit(i));
      for (i = 8; i < 15; i++) set(8, size - 15 + i, bit(i));
      set(8, size - 8, true);
    }
    drawFormat(0);
    if (ver >= 7) {
      var rem = ver;
      for (i = 0; i < 12; i++) rem = (rem << 1) ^ ((rem >>> 11) * 0x1f25);
      var v = ver << 12 | rem;
      for (i = 0; i < 18; i++) {
        var dark = ((v >>> i) & 1) !== 0, a = size - 11 + i % 3, c = Math.floor(i / 3);
        set(a, c, dark);
        set(c, a, dark);
      }
    }
    var n = 0;
    for (var right = size - 1; right >= 1; right -= 2) {
      if (right === 6) right = 5;
      for (var vert = 0; vert < size; vert++)
        for (var j = 0; j < 2; j++) {
          var x = right - j, upward = ((right + 1) & 2) === 0, y = upward ? size - 1 - vert : vert;
          if (!fixed[y][x] && n < codewords.length * 8) {
            modules[y][x] = ((codewords[n >>> 3] >>> (7 - (n & 7))) & 1) !== 0;
            n++;
          }
        }
    }

    /* the mask that leaves the fewest long runs, 2x2 blocks and the best balance */
    function masked(mask, x, y) {
      switch (mask) {
        case 0: return (x + y) % 2 === 0;
        case 1: return y % 2 === 0;
        case 2: return x % 3 === 0;
        case 3: return (x + y) % 3 === 0;
        case 4: return (Math.floor(x / 3) + Math.floor(y / 2)) % 2 === 0;
        case 5: return x * y % 2 + x * y % 3 === 0;
        case 6: return (x * y % 2 + x * y % 3) % 2 === 0;
        default: return ((x + y) % 2 + x * y % 3) % 2 === 0;
      }
    }
    function applyMask(mask) {
      for (var y = 0; y < size; y++)
        for (var x = 0; x < size; x++)
          if (!fixed[y][x] && masked(mask, x, y)) modules[y][x] = !modules[y][x];
    }
    function penalty() {
      var score = 0, dark = 0;
      for (var t = 0; t < 2; t++)
        for (var p = 0; p < size; p++) {
          var run = 0, prev = null;
          for (var q = 0; q < size; q++) {
            var m = t === 0 ? modules[p][q] : modules[q][p];
            if (m === prev) { run++; if (run === 5) score += 3; else if (run > 5) score++; }
            else { run = 1; prev = m; }
          }
        }
      for (var y = 0; y < size; y++)
        for (var x = 0; x < size; x++) {
          if (modules[y][x]) dark++;
          if (x < size - 1 && y < size - 1 && modules[y][x] === modules[y][x + 1] &&
              modules[y][x] === modules[y + 1][x] && modules[y][x] === modules[y + 1][x + 1]) score += 3;
        }
      return score + Math.floor(Math.abs(dark * 20 - size * size * 10) / (size * size)) * 10;
    }
    var best = 0, bestScore = Infinity;
    for (var mask = 0; mask < 8; mask++) {
      applyMask(mask);
      drawFormat(mask);
      var score = penalty();
      if (score < bestScore) { best = mask; bestScore = score; }
      applyMask(mask); /* undo */
    }
    applyMask(best);
    drawFormat(best);
    return modules;
  };
})();

/* Draws the QR code of the text into a canvas, or into another element as an SVG, with a
   quiet zone of four modules. False when the text is too long for a QR code. */
function lvQrCode(text, target, colour) {
  var modules = lvQrMatrix(text);
  if (!modules || !target) return false;
  var size = modules.length, total = size + 8, ink = colour || "#000";
  if (target.getContext) {
    var scale = Math.max(1, Math.floor(Math.min(target.width, target.height) / total));
    var context = target.getContext("2d");
    context.fillStyle = "#fff";
    context.fillRect(0, 0, target.width, target.height);
    context.fillStyle = ink;
    var offset = Math.floor((Math.min(target.width, target.height) - total * scale) / 2) + 4 * scale;
    for (var y = 0; y < size; y++)
      for (var x = 0; x < size; x++)
        if (modules[y][x]) context.fillRect(offset + x * scale, offset + y * scale, scale, scale);
    return true;
  }
  var path = "";
  for (y = 0; y < size; y++)
    for (x = 0; x < size; x++)
      if (modules[y][x]) path += "M" + (x + 4) + " " + (y + 4) + "h1v1h-1z";
  target.innerHTML = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + total + " " + total +
    "\" shape-rendering=\"crispEdges\" class=\"qrcode\"><rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>" +
    "<path fill=\"" + ink.replace(/[^#0-9a-zA-Z(),. ]/g, "") + "\" d=\"" + path + "\"/></svg>";
  return true;
}
