#!/usr/bin/python3
"""A school day on phones, through the real web pages in a phone-sized headless browser.

1. 郑强 (an operator who may change class records) logs in, opens today's class, takes
   attendance for 张三 (小明) and is done; the host, reading the database as the desktop does,
   shows exactly one receipt of his with one lesson less.
2. 张三 (小明) logs in and finds that lower figure on his receipt.
3. The administrator opens the preferences, changes one and saves; opened again, the page
   shows the stored value.
4. The administrator prints a receipt. The print route sends to real devices only: where this
   journey can start a CUPS scheduler of its own (as root), it has the PDF queue of
   cups-pdf, which the printer catalog reports as a file queue and the route must refuse, and
   a network printer (an AppSocket queue whose "device" is a listener here), which gets the
   job. Where no scheduler can start, the page must say that no printer is there.

Every page passed is saved as a screenshot in the output folder.
"""

import argparse
import os
import pwd
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from cdp import Browser, JourneyError, SchoolHost  # noqa: E402
from pages import run, check, log_in, open_module  # noqa: E402

TEACHER, TEACHER_PWD = "郑强", "teach"
STUDENT, STUDENT_PWD = "13800138000", "learn"  # 张三 (小明)
ADMIN, ADMIN_PWD = "刘芳", "liufang"
TODAY = "2026年3月18日"
PRINTED = "B260001"  # a receipt of this month, on the first page of the list


def open_row(page, text):
    """Opens the row of the list whose text holds text."""
    found = page.evaluate("""(() => {
        const a = Array.from(document.querySelectorAll('ul.list > li.item > a'))
            .find(a => a.textContent.indexOf(%r) >= 0);
        if (!a) return false;
        a.click();
        return true;
    })()""" % text)
    check(found, "no row with %s in %s" % (text, page.text("#page")))
    page.wait_for("new URLSearchParams(location.search).get('one') === '1' && !!document.querySelector('table.rec')",
                  what="the record of %s" % text)


def rows(page):
    return page.evaluate("Array.from(document.querySelectorAll('ul.list > li.item > a')).map(a => a.textContent.trim())")


def remained(host):
    """Lessons left on every receipt, as the host reads them from the database."""
    answer = host.ask("remained")
    check(answer.startswith("REMAINED "), "the host answered %r" % answer)
    return {k: int(v) for k, v in (pair.split("=") for pair in answer.split()[1:])}


def overflow(page):
    """Elements wider than the phone's screen (a page a phone must scroll sideways)."""
    return page.evaluate("""(() => {
        const w = document.documentElement.clientWidth;
        return Array.from(document.querySelectorAll('#page *'))
            .filter(e => e.getBoundingClientRect().right > w + 1)
            .map(e => e.tagName + (e.id ? '#' + e.id : '') + ' ' + (e.textContent || '').trim().slice(0, 20));
    })()""")


def take_attendance(page, host, base, shot):
    log_in(page, base, TEACHER, TEACHER_PWD, shot)
    shot("teacher-modules")
    open_module(page, "334")
    shot("teacher-classes")
    open_row(page, TODAY)
    check("张三 (小明)" in page.text("#page"), "today's class does not list 张三 (小明)")
    shot("teacher-class")
    page.click("form[action=query] input[value=edit] ~ button")
    page.wait_for_selector("#editform fieldset.lines")
    shot("teacher-edit")

    # the line of 张三 (小明) and its attendance: a choice among states; "on time" (准时)
    # consumes a lesson
    line = page.evaluate("""(() => {
        const line = Array.from(document.querySelectorAll('#editform fieldset.lines .line'))
            .find(l => l.querySelector('.title').textContent.indexOf('张三 (小明)') >= 0);
        if (!line) return null;
        const select = Array.from(line.querySelectorAll('select[data-key]'))
            .find(s => Array.from(s.options).some(o => o.textContent.trim() === '准时'));
        if (!select) return {labels: Array.from(line.querySelectorAll('label')).map(l => l.textContent)};
        return {key: select.getAttribute('data-key'), value: select.value,
                label: line.querySelector('label[for="' + select.id + '"]').textContent,
                came: Array.from(select.options).find(o => o.textContent.trim() === '准时').value};
    })()""")
    check(line and "key" in line, "no attendance choice on the line of 张三 (小明): %s" % line)
    check(line["label"].strip() != "", "the attendance choice has no caption")
    before = remained(host)
    check(line["value"] != line["came"], "张三 (小明) is already marked as come")
    page.evaluate("""(() => {
        const s = document.querySelector('select[data-key="%s"]');
        s.value = %r;
        s.dispatchEvent(new Event('change', {bubbles: true}));
    })()""" % (line["key"], line["came"]))
    page.wait_for("['', '正在保存…'].indexOf(document.getElementById('editstate').textContent) < 0",
                  what="the answer to the change")
    state = page.text("#editstate")
    check(state == "已保存", "taking attendance answered %r" % state)
    # where the teacher sees it: under the choice just made, not at the foot of the form
    check(page.evaluate("document.getElementById('editstate').previousElementSibling === "
                        "document.querySelector('select[data-key=\"%s\"]')" % line["key"]),
          "the answer to the change is not shown by the field")
    shot("teacher-attendance")
    after = remained(host)
    fell = {k: (before[k], after[k]) for k in before if after.get(k) != before[k]}
    print("lessons left before and after:", fell)
    check(len(fell) == 1, "taking attendance changed these receipts: %s" % fell)
    number, (was, now) = next(iter(fell.items()))
    check(now == was - 1, "receipt %s went from %d to %d lessons" % (number, was, now))

    # done: back on the class, which now shows the student as come
    page.click("form[action=query] input[value=detail] ~ button")
    page.wait_for_selector("table.rec")
    on_time = page.evaluate("""(() => {
        const cap = Array.from(document.querySelectorAll('table.rec td.cap'))
            .find(td => td.textContent.trim() === '准时');
        return cap ? cap.nextElementSibling.textContent.trim() : null;
    })()""")
    check(on_time == "1 人", "the class counts %r students on time" % on_time)
    shot("teacher-class-done")
    page.check_no_script_errors()
    return number, now


def student_sees(page, base, number, lessons, shot):
    log_in(page, base, STUDENT, STUDENT_PWD)
    open_module(page, "331")
    check(number in page.text("#page"), "the student's receipts do not list %s: %s" % (number, rows(page)))
    shot("student-receipts")
    open_row(page, number)
    figure = page.evaluate("""(() => {
        const cap = Array.from(document.querySelectorAll('table.rec td.cap'))
            .find(td => td.textContent.trim() === '剩余课时');
        return cap ? cap.nextElementSibling.textContent.trim() : null;
    })()""")
    check(figure is not None, "the receipt does not show the lessons left")
    # shown as the sum the desktop shows: "total-consumed=left", or the figure alone
    check(re.fullmatch(r"(?:.*=)?%d" % lessons, figure) is not None,
          "the receipt shows %r lessons left, the database %d" % (figure, lessons))
    shot("student-receipt")
    page.check_no_script_errors()


def change_preference(page, host, base, shot):
    log_in(page, base, ADMIN, ADMIN_PWD)
    shot("admin-modules")
    page.click("a#setup")
    page.wait_for_selector("#setupform [type=submit]")
    shot("setup")
    # a whole-number preference, changed to another value within its range
    field = page.evaluate("""(() => {
        const i = Array.from(document.querySelectorAll('#setupform input[type=number][name]'))
            .find(i => i.value !== '' && i.id && !i.placeholder);
        if (!i) return null;
        const label = document.querySelector('label[for="' + i.id + '"]').textContent;
        const max = i.max === '' ? Infinity : Number(i.max);
        const value = Number(i.value) + 1 <= max ? Number(i.value) + 1 : Number(i.value) - 1;
        i.closest('details').open = true;
        return {name: i.name, label: label, value: String(value)};
    })()""")
    check(field, "the preferences have no number to change")
    page.fill("#setupform input[name='%s']" % field["name"], field["value"])
    page.click("#setupform [type=submit]")
    page.wait_for("!!document.querySelector('#setupform > .ok, #setupform > .error')", what="the answer to saving")
    check(page.evaluate("!!document.querySelector('#setupform > .ok')"),
          "saving the preferences answered %r" % page.text("#setupform > .error"))
    check(page.evaluate("document.querySelector('#setupform > .ok').getBoundingClientRect().top >= "
                        "document.querySelector('.topbar').getBoundingClientRect().bottom"),
          "the notice of the save is hidden under the bar at the top")
    shot("setup-saved")
    page.navigate(base + "setup?xsl=setup")
    page.wait_for_selector("#setupform")
    shown = page.evaluate("document.querySelector(\"#setupform input[name='%s']\").value" % field["name"])
    check(shown == field["value"], "%s shows %r after saving %r" % (field["label"], shown, field["value"]))
    stored = host.ask("setting %s" % field["name"].split("_")[-1])
    check(stored == "SETTING " + field["value"], "%s is stored as %r, not %r" % (field["label"], stored, field["value"]))
    page.check_no_script_errors()


class PrivateCups:
    """A CUPS scheduler of the journey's own (root only), with the cups-pdf queue "PDF" and a
    network printer "Counter" whose jobs arrive at a listener here."""

    def __init__(self):
        self.root = None
        self.proc = None
        self.why = self._start()

    def _start(self):
        cupsd, lpadmin = shutil.which("cupsd", path="/usr/sbin:/usr/bin"), shutil.which("lpadmin", path="/usr/sbin:/usr/bin")
        if not cupsd or not lpadmin:
            return "cupsd or lpadmin is not installed (Debian: cups)"
        if os.geteuid() != 0:
            return "a private cupsd needs root (its backends run as lp)"
        ppd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
        if not os.path.exists(ppd) or not os.path.exists("/usr/lib/cups/backend/cups-pdf"):
            return "the PDF queue is not installed (Debian: printer-driver-cups-pdf)"
        self.root = tempfile.mkdtemp(prefix="journey-cups-")
        for sub in ("spool", "cache", "log", "run", "state"):
            os.makedirs(os.path.join(self.root, sub))
        lp = pwd.getpwnam("lp")
        for folder, _, files in os.walk(self.root):
            for name in [folder] + [os.path.join(folder, f) for f in files]:
                os.chown(name, lp.pw_uid, lp.pw_gid)
        self.socket = os.path.join(self.root, "run", "cups.sock")
        with open(os.path.join(self.root, "cupsd.conf"), "w") as f:
            f.write("Listen %s\nLogLevel warn\nWebInterface no\nDefaultAuthType None\n"
                    "<Location />\n Order allow,deny\n Allow all\n</Location>\n" % self.socket)
        r = self.root
        with open(os.path.join(self.root, "cups-files.conf"), "w") as f:
            f.write("ServerRoot {r}\nRequestRoot {r}/spool\nCacheDir {r}/cache\nStateDir {r}/state\n"
                    "TempDir {r}/spool\nErrorLog {r}/log/error_log\nAccessLog {r}/log/access_log\n"
                    "PageLog {r}/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                    "User lp\nGroup lp\nSandboxing relaxed\n".format(r=r))
        self.proc = subprocess.Popen([cupsd, "-f", "-c", os.path.join(r, "cupsd.conf"), "-s",
                                      os.path.join(r, "cups-files.conf")],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 10
        while not os.path.exists(self.socket) and time.time() < deadline:
            time.sleep(0.1)
        if not os.path.exists(self.socket):
            return "cupsd did not listen"
        os.environ["CUPS_SERVER"] = self.socket

        # the network printer: a listener that keeps what each connection sends
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(4)
        self.jobs = []
        threading.Thread(target=self._serve, daemon=True).start()
        port = self.listener.getsockname()[1]
        for args in (["-p", "PDF", "-E", "-v", "cups-pdf:/", "-P", ppd],
                     ["-p", "Counter", "-E", "-v", "socket://127.0.0.1:%d" % port, "-m", "raw"]):
            done = subprocess.run([lpadmin] + args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            if done.returncode != 0:
                return "lpadmin could not add %s: %s" % (args[1], done.stdout.strip())
        return ""

    def _serve(self):
        while True:
            try:
                conn, _ = self.listener.accept()
            except OSError:
                return
            data = b""
            with conn:
                while True:
                    chunk = conn.recv(65536)
                    if not chunk:
                        break
                    data += chunk
            self.jobs.append(data)

    def queues(self):
        done = subprocess.run(["lpstat", "-v"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        return done.stdout

    def close(self):
        if getattr(self, "listener", None):
            self.listener.close()
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        os.environ.pop("CUPS_SERVER", None)
        if self.root:
            shutil.rmtree(self.root, ignore_errors=True)


def print_receipt(page, base, host, cups, shot):
    # the administrator is still logged in on this phone
    page.navigate(base)
    page.wait_for_selector(".modules a[href^=\"query?\"]")
    open_module(page, "331")
    open_row(page, PRINTED)
    page.click("button#print")
    page.wait_for("!document.getElementById('printform').hidden", what="the print form")
    templates = page.evaluate("Array.from(document.querySelectorAll('#printtempl option')).map(o => o.textContent)")
    check(len(templates) == 1 and templates[0].startswith("报名收据"), "the receipt's templates are %s" % templates)
    printers = page.evaluate("Array.from(document.querySelectorAll('#printer option')).map(o => o.value)")
    shot("print")
    if cups.why:
        check(printers == [], "printers offered without a scheduler: %s" % printers)
        check("没有可用的打印机" in page.text("#printform"), "the page does not say that no printer is there")
        print("printing skipped: %s" % cups.why)
        return
    queues = cups.queues()
    check("PDF" in queues and "cups-pdf:/" in queues, "the scheduler has no PDF queue: %s" % queues)
    # the PDF queue is a file, not a device: never offered, and refused when posted
    check(printers == ["Counter"], "the printers offered are %s" % printers)
    templ = page.evaluate("document.getElementById('printtempl').value")
    receipt = page.evaluate("document.getElementById('print').getAttribute('data-id')")
    refused = page.evaluate("lvPost('print', {templ: %s, id: %s, printer: 'PDF', confirmed: 1})"
                            ".then(r => r.errid)" % (templ, receipt))
    check(refused == 112, "printing to the PDF queue answered %s" % refused)
    print("the PDF queue (cups-pdf) is a file queue: the print route refuses it (112)")

    page.evaluate("window.confirm = m => { window.lvAsked = m; return true; }")
    page.click("#printform [type=submit]")
    page.wait_for("!!document.querySelector('#printform > .ok, #printform > .error')", timeout=60,
                  what="the answer to printing")
    check(page.evaluate("!!document.querySelector('#printform > .ok')"),
          "printing answered %r" % page.text("#printform > .error"))
    asked = page.evaluate("window.lvAsked || ''")
    check("Counter" in asked and "李四" in asked, "the confirmation asked %r" % asked)
    shot("print-sent")
    deadline = time.time() + 30
    while not cups.jobs and time.time() < deadline:
        time.sleep(0.2)
    check(cups.jobs, "the network printer got no job")
    check(cups.jobs[0].startswith(b"%PDF"), "the printer got %r" % cups.jobs[0][:16])
    print("the receipt arrived at the network printer: %d bytes of PDF" % len(cups.jobs[0]))
    page.check_no_script_errors()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True, help="the school host program")
    parser.add_argument("--out", required=True, help="where the screenshots go")
    args = parser.parse_args()

    cups = PrivateCups()
    host = None
    browsers = []
    wide = []
    try:
        host = SchoolHost(args.host)

        def shooter(page):
            def shot(name):
                wide.extend("%s: %s" % (name, e) for e in overflow(page))
                print("screenshot:", page.screenshot(os.path.join(args.out, "phone-%s.png" % name)))
            return shot

        browsers.append(Browser())
        page = browsers[-1].page
        number, lessons = take_attendance(page, host, host.base, shooter(page))

        browsers.append(Browser())
        page = browsers[-1].page
        student_sees(page, host.base, number, lessons, shooter(page))

        browsers.append(Browser())
        page = browsers[-1].page
        change_preference(page, host, host.base, shooter(page))
        print_receipt(page, host.base, host, cups, shooter(page))
        check(not wide, "wider than the phone: %s" % wide)
        print("phone journey passed")
    finally:
        for browser in browsers:
            browser.close()
        rc = host.close() if host else 0
        cups.close()
    if rc:
        raise JourneyError("the school host ended with %d" % rc)


if __name__ == "__main__":
    run(main)
