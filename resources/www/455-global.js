/* The script every page loads: the server's result codes, posting a body and reading the
   answer <r errid errmsg id/>, and partial refreshes. Plain browser script, no framework.
   Strings are in double quotes: the server replaces single-quoted symbol names in this file. */
"use strict";

/* result codes of the server's answers */
var ERR_OK = 100;
var ERR_FailMsg = 101;
var ERR_NotFound = 102;
var ERR_Repeat = 104;
var ERR_HasBound = 105;
var ERR_ErrorPassword = 106;
var ERR_ErrorSmsCode = 107;
var ERR_ExpireSmsCode = 108;
var ERR_ErrorArtCode = 109;
var ERR_BusySmsCode = 110;
var ERR_FailedSmsCode = 111;
var ERR_NoPrinter = 112;
var ERR_NeedConfirm = 113;

/* what the user reads for a code the answer gives no text for */
var lvMessages = {
  101: "操作失败",
  102: "没有找到该账号",
  104: "找到多个账号，请输入完整的姓名",
  105: "该账号已经登录",
  106: "密码错误",
  107: "短信验证码错误",
  108: "短信验证码已过期，请重新获取",
  109: "图片验证码错误",
  110: "短信发送太频繁，请稍后再试",
  111: "短信发送失败",
  112: "没有可用的打印机",
  113: "请确认后再继续"
};

function lvEscape(text) {
  return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
    .replace(/"/g, "&quot;");
}

/* The body the server reads as parameters: <r><x id="name">value</x>...</r>. */
function lvXmlBody(fields) {
  var xml = "<r>";
  for (var name in fields) {
    if (Object.prototype.hasOwnProperty.call(fields, name) && fields[name] !== undefined && fields[name] !== null)
      xml += "<x id=\"" + lvEscape(name.toLowerCase()) + "\">" + lvEscape(fields[name]) + "</x>";
  }
  return xml + "</r>";
}

/* The named fields of a form; a field marked data-md5 is sent as the MD5 of what was typed,
   never in clear (md5.js). */
function lvFormFields(form) {
  var fields = {};
  for (var i = 0; i < form.elements.length; i++) {
    var e = form.elements[i];
    if (!e.name || e.disabled) continue;
    if ((e.type === "checkbox" || e.type === "radio") && !e.checked) {
      if (e.type === "checkbox" && !(e.name in fields)) fields[e.name] = "0";
      continue;
    }
    var value = e.type === "checkbox" && e.value === "on" ? "1" : e.value;
    if (e.hasAttribute("data-md5") && value !== "") value = lvMd5(value);
    fields[e.name] = value;
  }
  return fields;
}

/* Reads <r errid errmsg id/> from an answer's text. */
function lvResult(status, text) {
  var result = { errid: status === 200 ? ERR_FailMsg : status, errmsg: "", id: 0, doc: null };
  if (status !== 200) {
    result.errmsg = status === 403 || status === 401 ? "没有权限" : "请求失败（" + status + "）";
    return result;
  }
  var doc = new DOMParser().parseFromString(text, "text/xml");
  var r = doc && doc.documentElement;
  if (!r || r.nodeName !== "r") {
    result.errmsg = "无法读取服务器的回答";
    return result;
  }
  result.doc = doc;
  result.errid = parseInt(r.getAttribute("errid"), 10) || ERR_OK;
  result.errmsg = r.getAttribute("errmsg") || (result.errid !== ERR_OK ? lvMessages[result.errid] || "操作失败" : "");
  result.id = parseInt(r.getAttribute("id"), 10) || 0;
  return result;
}

/* Posts to a route and resolves to {errid, errmsg, id, doc}. The body is a form element, a
   plain object of fields, or a string, Blob or ArrayBuffer sent as it is (uploads). */
function lvPost(url, body) {
  var payload = body;
  var type = "text/xml; charset=utf-8";
  if (body && body.tagName === "FORM") payload = lvXmlBody(lvFormFields(body));
  else if (body && typeof body === "object" && !(body instanceof Blob) && !(body instanceof ArrayBuffer))
    payload = lvXmlBody(body);
  else if (body instanceof Blob) type = body.type || "application/octet-stream";
  else if (body instanceof ArrayBuffer) type = "application/octet-stream";
  return fetch(url, {
    method: "POST",
    credentials: "same-origin",
    headers: { "Content-Type": type, "Accept": "text/xml" },
    body: payload === undefined ? "" : payload
  }).then(function (response) {
    return response.text().then(function (text) { return lvResult(response.status, text); });
  }, function () {
    return { errid: 0, errmsg: "网络不通，请稍后再试", id: 0, doc: null };
  });
}

/* Shows an error (or, with ok, a success note) at the top of a form or of the page. */
function lvShow(message, where, ok) {
  var host = where || document.getElementById("page") || document.body;
  var box = host.querySelector(":scope > .error, :scope > .ok");
  if (!message) {
    if (box) box.parentNode.removeChild(box);
    return;
  }
  if (!box) {
    box = document.createElement("div");
    host.insertBefore(box, host.firstChild);
  }
  box.className = ok ? "ok" : "error";
  box.setAttribute("role", "alert");
  box.textContent = message;
}

/* Replaces the page's content with the body of the page at url (update=1: the server sends
   the sheet's body alone). */
function lvRefresh(url, target) {
  var host = target || document.getElementById("page");
  var address = url || location.href;
  address += (address.indexOf("?") < 0 ? "?" : "&") + "update=1";
  return fetch(address, { credentials: "same-origin", headers: { "Accept": "text/html" } })
    .then(function (response) {
      if (response.status !== 200) throw new Error(String(response.status));
      return response.text();
    })
    .then(function (html) { host.innerHTML = html; return true; },
          function () { lvShow("刷新失败，请稍后再试"); return false; });
}

/* What follows a successful post: data-next names the page to go to ("reload" or none:
   this page again, "refresh": a partial refresh). */
function lvAfter(element, result) {
  var next = element.getAttribute("data-next");
  if (next === "refresh") return lvRefresh();
  if (next && next !== "reload") location.href = next;
  else location.reload();
}

/* Buttons and links with data-post post to that route (with the fields of data-fields, a
   JSON object) and, on success, go on as data-next says; data-confirm asks first. */
document.addEventListener("click", function (event) {
  var element = event.target.closest && event.target.closest("[data-post]");
  if (!element || element.tagName === "FORM") return;
  event.preventDefault();
  var question = element.getAttribute("data-confirm");
  if (question && !confirm(question)) return;
  var fields = element.getAttribute("data-fields");
  element.disabled = true;
  lvPost(element.getAttribute("data-post"), fields ? JSON.parse(fields) : {}).then(function (result) {
    element.disabled = false;
    if (result.errid === ERR_OK) lvAfter(element, result);
    else lvShow(result.errmsg);
  });
});

/* Forms with data-post are sent by script as XML bodies; errors show above the form. */
document.addEventListener("submit", function (event) {
  var form = event.target;
  if (!form.hasAttribute || !form.hasAttribute("data-post")) return;
  event.preventDefault();
  var buttons = form.querySelectorAll("button, input[type=submit]");
  for (var i = 0; i < buttons.length; i++) buttons[i].disabled = true;
  lvShow("", form);
  lvPost(form.getAttribute("data-post"), form).then(function (result) {
    for (var i = 0; i < buttons.length; i++) buttons[i].disabled = false;
    if (result.errid === ERR_OK) lvAfter(form, result);
    else lvShow(result.errmsg, form);
  });
});
