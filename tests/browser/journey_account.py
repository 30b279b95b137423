#!/usr/bin/python3
"""Account journey on a phone-sized headless browser.

A teacher with limited rights logs in with her phone number and the initial password, sees
only the module her rights allow, changes her password, finds the old one refused and the
new one accepted, and logs out. Every page must arrive as HTML (rendered by the server, with
no stylesheet instruction left for the browser), and each account page is saved as a
screenshot in the output folder.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from cdp import Browser, JourneyError, SchoolHost  # noqa: E402
from pages import run, check, check_html  # noqa: E402

PHONE = "13600136000"  # 孙丽: operator on enrolment receipts; as a teacher she reads class records
INITIAL = "teach"      # the teachers' initial password in the host's preferences
NEW = "sunli-2026"
RECEIPTS = "331"
CLASSES = "334"


def submit(page, form):
    page.click("form[data-acct=%s] [type=submit]" % form)


def log_in(page, password):
    page.wait_for_selector("form[data-acct=login] input[name=password]")
    page.fill("input[name=username]", PHONE)
    page.fill("input[name=password]", password)
    submit(page, "login")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True, help="the school host program")
    parser.add_argument("--out", required=True, help="where the screenshots go")
    args = parser.parse_args()

    host = SchoolHost(args.host)
    browser = None
    try:
        browser = Browser()
        page = browser.page
        shot = lambda name: print("screenshot:", page.screenshot(os.path.join(args.out, "account-%s.png" % name)))

        # the start page is the login form while nobody is logged in
        page.navigate(host.base)
        page.wait_for_selector("form[data-acct=login]")
        check_html(page)
        shot("default")

        log_in(page, INITIAL)
        page.wait_for_selector("#logout")
        check_html(page)
        listed = page.evaluate("Array.from(document.querySelectorAll('.modules a[href^=\"query?\"]'))"
                               ".map(a => new URL(a.href).searchParams.get('mduid'))")
        check(listed == [RECEIPTS, CLASSES], "the menu lists %s, not the receipts and class records" % listed)
        check("孙丽" in page.text(".users"), "the menu does not name the person logged in")
        shot("modules")

        page.click("#mdfpwd")
        page.wait_for_selector("form[data-acct=mdfpwd]")
        check_html(page)
        shot("mdfpwd")
        # a mistyped repetition is caught before anything is sent
        page.fill("input[name=oldpwd]", INITIAL)
        page.fill("input[name=newpwd]", NEW)
        page.fill("input[name=newpwd2]", NEW + "x")
        submit(page, "mdfpwd")
        page.wait_for("!!document.querySelector('.acct-msg.error:not([hidden])')", what="the mismatch message")
        page.fill("input[name=newpwd2]", NEW)
        submit(page, "mdfpwd")
        page.wait_for("(document.querySelector('.acct-msg.ok') || {}).textContent", what="the changed message")
        # the change ends the login: back to the login form
        page.wait_for_selector("form[data-acct=login]")

        log_in(page, INITIAL)
        page.wait_for("(document.querySelector('.acct-msg.error:not([hidden])') || {}).textContent"
                      " === '密码不正确。'", what="the old password refused")
        log_in(page, NEW)
        page.wait_for_selector("#logout")

        page.click("#logout")
        page.wait_for("!!document.querySelector('form[data-acct=login]') && !document.querySelector('#logout')",
                      what="the login form after logging out")

        # the other account pages, as a phone user reaches them from the login form
        for name, selector in (("smslogin", "input[name=smscode]"),
                               ("resetpwd", "form[data-acct=resetpwd]"),
                               ("regnew", "form[data-acct=addnew]")):
            page.navigate(host.base + "bind?xsl=" + name)
            page.wait_for_selector(selector)
            check_html(page)
            shot(name)

        page.check_no_script_errors()
        print("account journey passed")
    finally:
        if browser:
            browser.close()
        rc = host.close()
    if rc:
        raise JourneyError("the school host ended with %d" % rc)


if __name__ == "__main__":
    run(main)
