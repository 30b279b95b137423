#!/usr/bin/python3
"""Record journey on a phone-sized headless browser.

A teacher account logs in, opens the class records from the module menu, gets this week's
classes (the first scheme for accounts), opens one and sees its students. A student logs in,
opens the receipts, sees only her own two and opens one to read the lessons left. Every page
arrives as HTML rendered by the server; each is saved as a screenshot in the output folder.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from cdp import Browser, JourneyError, SchoolHost  # noqa: E402
from pages import run, check, check_html, log_in, open_module  # noqa: E402

TEACHER = "周杰"           # an ordinary teacher account: found by exact name, no phone
STUDENT = "13912345678"    # 李四, two receipts of her own
TEACHER_PWD = "teach"      # the initial passwords in the host's preferences
STUDENT_PWD = "learn"


def rows(page):
    return page.evaluate("Array.from(document.querySelectorAll('ul.list > li.item > a'))"
                         ".map(a => a.firstElementChild.firstChild.textContent.trim())")


def open_first_row(page):
    page.click("ul.list > li.item > a")
    page.wait_for("new URLSearchParams(location.search).get('one') === '1' && !!document.querySelector('table.rec')",
                  what="a record's page")
    check_html(page)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True, help="the school host program")
    parser.add_argument("--out", required=True, help="where the screenshots go")
    args = parser.parse_args()

    host = SchoolHost(args.host)
    browsers = []
    try:
        # the teacher: this week's classes, one of them with its students
        browsers.append(Browser())
        page = browsers[-1].page
        shot = lambda name: print("screenshot:", page.screenshot(os.path.join(args.out, "query-%s.png" % name)))
        log_in(page, host.base, TEACHER, TEACHER_PWD)
        open_module(page, "334")
        check("本周" in page.text("title"), "the class records do not open on this week: %s" % page.text("title"))
        classes = rows(page)
        check(classes == ["2026年3月18日星期三钢琴周杰"], "this week's classes are %s" % classes)
        shot("teacher-classes")
        open_first_row(page)
        body = page.text("#page")
        for student in ("张三 (小明)", "陈七"):
            check(student in body, "the class does not list %s" % student)
        check("琴房一" in body, "the class does not show its room")
        shot("teacher-class")
        page.check_no_script_errors()

        # the student: her own receipts only, with the lessons left
        browsers.append(Browser())
        page = browsers[-1].page
        log_in(page, host.base, STUDENT, STUDENT_PWD)
        open_module(page, "331")
        receipts = rows(page)
        check(sorted(receipts) == ["B250002", "B260001"], "the student's receipts are %s" % receipts)
        shot("student-receipts")
        open_first_row(page)
        check("剩余课时" in page.text("#page"), "the receipt does not show the lessons left")
        shot("student-receipt")
        page.check_no_script_errors()
        print("record journey passed")
    finally:
        for browser in browsers:
            browser.close()
        rc = host.close()
    if rc:
        raise JourneyError("the school host ended with %d" % rc)


if __name__ == "__main__":
    run(main)
