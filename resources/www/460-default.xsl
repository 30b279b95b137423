<?xml version="1.0" encoding="utf-8"?>
<!-- The login form: a name (or phone number, or identity-card number) and a password. With
     somebody already logged in ("bind") it adds one more person to this phone. It also holds
     the account pages' script (template "acct-script"), which the other account sheets call:
     it posts their forms as XML bodies, sends passwords only as MD5 digests, shows the result
     and moves on. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="share.xsl"/>

  <xsl:template match="r" mode="title">
    <xsl:choose>
      <xsl:when test="session/user">添加账户</xsl:when>
      <xsl:otherwise>登录</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="r" mode="body">
    <section class="acct">
      <h1><xsl:call-template name="school"/></h1>
      <form class="form" data-acct="login" data-next="./">
        <div class="field"><label>用户名
          <input name="username" autocomplete="username" required="required" placeholder="姓名、手机号码或身份证号"/>
        </label></div>
        <div class="field"><label>密码
          <input name="password" type="password" autocomplete="current-password" data-md5="1" required="required"/>
        </label></div>
        <p class="acct-msg error" role="alert" hidden="hidden"></p>
        <div class="field"><button type="submit" class="button">登录</button></div>
      </form>
      <p class="links">
        <a href="bind?xsl=smslogin">短信验证码登录</a>
        <xsl:text> · </xsl:text>
        <a href="bind?xsl=resetpwd">忘记密码</a>
        <xsl:if test="session/user">
          <xsl:text> · </xsl:text>
          <a href="./">返回</a>
        </xsl:if>
      </p>
      <p class="hint">没有设置过密码的账户使用学校告知的初始密码。</p>
    </section>
    <xsl:call-template name="acct-script"/>
  </xsl:template>

  <!-- The school's name, or the program's when none is set. -->
  <xsl:template name="school">
    <xsl:choose>
      <xsl:when test="/r/app/@LtdName != ''"><xsl:value-of select="/r/app/@LtdName"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="/r/app/@AppName"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="acct-script">
    <script><![CDATA[
(function () {
  'use strict';
  // MD5 hex of the UTF-8 text: passwords travel and are stored only as this digest.
  function md5hex(str) {
    var bytes = new TextEncoder().encode(str), n = bytes.length, i;
    var words = new Array((((n + 8) >> 6) + 1) * 16).fill(0);
    for (i = 0; i < n; i++) words[i >> 2] |= bytes[i] << ((i % 4) * 8);
    words[n >> 2] |= 0x80 << ((n % 4) * 8);
    words[words.length - 2] = n * 8;
    var S = [7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21], K = [];
    for (i = 0; i < 64; i++) K[i] = Math.floor(Math.abs(Math.sin(i + 1)) * 4294967296) | 0;
    var h = [0x67452301, 0xefcdab89 | 0, 0x98badcfe | 0, 0x10325476];
    for (var blk = 0; blk < words.length; blk += 16) {
      var a = h[0], b = h[1], c = h[2], d = h[3];
      for (i = 0; i < 64; i++) {
        var f, g;
        if (i < 16) { f = (b & c) | (~b & d); g = i; }
        else if (i < 32) { f = (d & b) | (~d & c); g = (5 * i + 1) % 16; }
        else if (i < 48) { f = b ^ c ^ d; g = (3 * i + 5) % 16; }
        else { f = c ^ (b | ~d); g = (7 * i) % 16; }
        var x = (a + f + K[i] + words[blk + g]) | 0, s = S[(i >> 4) * 4 + (i % 4)];
        a = d; d = c; c = b;
        b = (b + ((x << s) | (x >>> (32 - s)))) | 0;
      }
      h[0] = (h[0] + a) | 0; h[1] = (h[1] + b) | 0; h[2] = (h[2] + c) | 0; h[3] = (h[3] + d) | 0;
    }
    var out = '';
    for (i = 0; i < 16; i++) out += ((h[i >> 2] >>> ((i % 4) * 8)) & 255).toString(16).padStart(2, '0');
    return out;
  }

  var CODES = {
    101: '操作失败。', 102: '没有找到该用户，或该用户不允许登录。', 104: '找到多个用户，请输入姓名。',
    105: '该用户已经登录。', 106: '密码不正确。', 107: '短信验证码不正确。',
    108: '短信验证码已过期，请重新获取。', 109: '图形验证码不正确。',
    110: '短信验证码发送太频繁，请稍后再试。', 111: '发送短信验证码失败。'
  };

  function escapeXml(s) {
    return String(s).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
  }

  // Posts the fields as the XML body the service reads and gives back the result root.
  function post(path, fields) {
    var body = '<r>';
    Object.keys(fields).forEach(function (k) {
      body += '<x id="' + escapeXml(k) + '">' + escapeXml(fields[k]) + '</x>';
    });
    body += '</r>';
    return fetch(path, {
      method: 'POST', body: body, credentials: 'same-origin',
      headers: { 'Content-Type': 'text/xml; charset=utf-8', 'Accept': 'text/xml' }
    }).then(function (res) {
      return res.text().then(function (text) {
        var root = text ? new DOMParser().parseFromString(text, 'text/xml').documentElement : null;
        var attr = function (n) { return root ? (root.getAttribute(n) || '') : ''; };
        var errid = res.ok ? parseInt(attr('errid'), 10) || 0 : res.status;
        return { errid: errid, errmsg: attr('errmsg'), attr: attr };
      });
    }, function () { return { errid: 0, errmsg: '无法连接服务器。', attr: function () { return ''; } }; });
  }

  function messageOf(r) {
    if (r.errmsg) return r.errmsg;
    if (CODES[r.errid]) return CODES[r.errid];
    if (r.errid === 400) return '输入有误，请检查后再试。';
    return '操作失败（' + r.errid + '）。';
  }

  function show(form, cls, text) {
    var box = form.querySelector('.acct-msg');
    if (!box) return;
    box.className = 'acct-msg ' + cls;
    box.textContent = text;
    box.hidden = !text;
  }

  function fill(text, r) {
    return text.replace(/\{(\w+)\}/g, function (m, n) { return r.attr(n); });
  }

  function refreshArt(form) {
    var img = form.querySelector('img[data-acct-art]');
    if (img) img.src = 'artcode?t=' + Date.now();
  }

  function onSubmit(e) {
    var form = e.currentTarget;
    e.preventDefault();
    var fields = {};
    var fail = '';
    Array.prototype.forEach.call(form.elements, function (el) {
      if (!el.name || el.disabled || el.type === 'submit' || el.type === 'button') return;
      if ((el.type === 'checkbox' || el.type === 'radio') && !el.checked) return;
      var same = el.getAttribute('data-same');
      if (same && form.elements[same] && form.elements[same].value !== el.value) fail = '两次输入的新密码不一致。';
      fields[el.name] = el.hasAttribute('data-md5') ? md5hex(el.value) : el.value.trim();
    });
    if (fail) { show(form, 'error', fail); return; }
    var button = form.querySelector('[type=submit]');
    if (button) button.disabled = true;
    show(form, 'hint', '请稍候……');
    post(form.getAttribute('data-acct'), fields).then(function (r) {
      if (button) button.disabled = false;
      if (r.errid !== 100) { show(form, 'error', messageOf(r)); refreshArt(form); return; }
      var ok = form.getAttribute('data-ok');
      var next = form.getAttribute('data-next');
      if (ok) show(form, 'ok', fill(ok, r));
      if (next) setTimeout(function () { location.href = next; }, ok ? 1500 : 0);
    });
  }

  function onSendSms(e) {
    var button = e.currentTarget;
    var form = button.form;
    var phone = form.elements.phone.value.trim();
    var art = form.elements.artcode ? form.elements.artcode.value.trim() : '';
    if (!/^1[3-9][0-9]{9}$/.test(phone)) { show(form, 'error', '请输入正确的手机号码。'); return; }
    if (!/^[0-9a-zA-Z]{4}$/.test(art)) { show(form, 'error', '请输入图形验证码。'); return; }
    button.disabled = true;
    post('sendsms', { phone: phone, artcode: art }).then(function (r) {
      if (r.errid !== 100) {
        button.disabled = false;
        show(form, 'error', messageOf(r));
        refreshArt(form);
        return;
      }
      show(form, 'ok', '验证码已发送，5 分钟内有效。');
      var left = 60;
      var label = button.textContent;
      var tick = function () {
        if (left <= 0) { button.disabled = false; button.textContent = label; return; }
        button.textContent = left + ' 秒后可重发';
        left -= 1;
        setTimeout(tick, 1000);
      };
      tick();
    });
  }

  function onPostButton(e) {
    var button = e.currentTarget;
    var fields = {};
    if (button.hasAttribute('data-order')) fields.order = button.getAttribute('data-order');
    button.disabled = true;
    post(button.getAttribute('data-acct-post'), fields).then(function (r) {
      if (r.errid !== 100) { button.disabled = false; alert(messageOf(r)); return; }
      location.href = button.getAttribute('data-next') || location.href;
    });
  }

  function wire() {
    Array.prototype.forEach.call(document.querySelectorAll('form[data-acct]'), function (f) {
      f.addEventListener('submit', onSubmit);
    });
    Array.prototype.forEach.call(document.querySelectorAll('[data-acct-sms]'), function (b) {
      b.addEventListener('click', onSendSms);
    });
    Array.prototype.forEach.call(document.querySelectorAll('[data-acct-post]'), function (b) {
      b.addEventListener('click', onPostButton);
    });
    Array.prototype.forEach.call(document.querySelectorAll('img[data-acct-art]'), function (img) {
      img.addEventListener('click', function () { img.src = 'artcode?t=' + Date.now(); });
    });
  }
  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', wire);
  else wire();
})();
]]></script>
  </xsl:template>
</xsl:stylesheet>
