/* MD5 of a text's UTF-8 bytes as 32 lower-case hex digits: the form in which passwords
   travel and are stored. lvMd5("") is "d41d8cd98f00b204e9800998ecf8427e". */
"use strict";

function lvUtf8(text) {
  var bytes = [];
  var s = String(text);
  for (var i = 0; i < s.length; i++) {
    var c = s.charCodeAt(i);
    if (c >= 0xd800 && c < 0xdc00 && i + 1 < s.length) {
      var low = s.charCodeAt(i + 1);
      if (low >= 0xdc00 && low < 0xe000) {
        c = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
        i++;
      }
    }
    if (c >= 0xd800 && c < 0xe000) c = 0xfffd; /* a lone surrogate */
    if (c < 0x80) bytes.push(c);
    else if (c < 0x800) bytes.push(0xc0 | c >> 6, 0x80 | c & 63);
    else if (c < 0x10000) bytes.push(0xe0 | c >> 12, 0x80 | c >> 6 & 63, 0x80 | c & 63);
    else bytes.push(0xf0 | c >> 18, 0x80 | c >> 12 & 63, 0x80 | c >> 6 & 63, 0x80 | c & 63);
  }
  return bytes;
}

var lvMd5 = (function () {
  var S = [7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21];
  var K = [];
  for (var i = 0; i < 64; i++) K[i] = Math.floor(Math.abs(Math.sin(i + 1)) * 4294967296) | 0;

  function hex(word) {
    var out = "";
    for (var b = 0; b < 4; b++) out += ((word >>> (8 * b)) & 255 | 256).toString(16).slice(1);
    return out;
  }

  return function (text) {
    var bytes = lvUtf8(text);
    var bitLength = bytes.length * 8;
    bytes.push(0x80);
    while (bytes.length % 64 !== 56) bytes.push(0);
    /* the length in bits, little-endian, 64 bits (texts stay far below 2^32 bits) */
    for (var n = 0; n < 8; n++) bytes.push(n < 4 ? (bitLength >>> (8 * n)) & 255 : 0);

    var a0 = 0x67452301, b0 = 0xefcdab89 | 0, c0 = 0x98badcfe | 0, d0 = 0x10325476;
    var M = new Array(16);
    for (var off = 0; off < bytes.length; off += 64) {
      for (var w = 0; w < 16; w++) {
        var p = off + w * 4;
        M[w] = bytes[p] | bytes[p + 1] << 8 | bytes[p + 2] << 16 | bytes[p + 3] << 24;
      }
      var A = a0, B = b0, C = c0, D = d0;
      for (var j = 0; j < 64; j++) {
        var F, g;
        if (j < 16) { F = (B & C) | (~B & D); g = j; }
        else if (j < 32) { F = (D & B) | (~D & C); g = (5 * j + 1) % 16; }
        else if (j < 48) { F = B ^ C ^ D; g = (3 * j + 5) % 16; }
        else { F = C ^ (B | ~D); g = (7 * j) % 16; }
        var sum = (A + F + K[j] + M[g]) | 0;
        var s = S[(j >> 4) * 4 + (j & 3)];
        A = D; D = C; C = B;
        B = (B + ((sum << s) | (sum >>> (32 - s)))) | 0;
      }
      a0 = (a0 + A) | 0; b0 = (b0 + B) | 0; c0 = (c0 + C) | 0; d0 = (d0 + D) | 0;
    }
    return hex(a0) + hex(b0) + hex(c0) + hex(d0);
  };
})();
