"""What the phone journeys share: checks and the steps every journey takes through the
module menu (on top of the DevTools driver in cdp.py)."""

import sys

from cdp import JourneyError


def check(condition, what):
    if not condition:
        raise JourneyError(what)


def check_html(page):
    """The document is HTML made on the server, not XML left to the browser's XSLT."""
    check(page.evaluate("document.contentType") == "text/html",
          "the page is %s, not HTML" % page.evaluate("document.contentType"))
    check(not page.evaluate("Array.from(document.childNodes).some(n => n.nodeType === 7)"),
          "a processing instruction is left in the page")
    check(page.evaluate("document.documentElement.tagName") == "HTML", "the page's root is not <html>")


def log_in(page, base, user, password, shot=None):
    """Logs in from the start page's password form and waits for the module menu."""
    page.navigate(base)
    page.wait_for_selector("form[data-acct=login] input[name=password]")
    if shot:
        shot("login")
    page.fill("input[name=username]", user)
    page.fill("input[name=password]", password)
    page.click("form[data-acct=login] [type=submit]")
    page.wait_for_selector(".modules a[href^=\"query?\"]")
    # each module's name on one line: its description beneath, not beside, squeezing it
    squeezed = page.evaluate("""Array.from(document.querySelectorAll('.modules a strong'))
        .filter(e => e.getBoundingClientRect().height > 1.5 * parseFloat(getComputedStyle(e).lineHeight))
        .map(e => e.textContent)""")
    check(not squeezed, "module names broken over several lines: %s" % squeezed)


def open_module(page, mduid):
    """Opens a module's list from the menu."""
    page.click(".modules a[href^=\"query?mduid=%s&\"]" % mduid)
    page.wait_for("location.search.indexOf('mduid=%s') >= 0 && document.readyState === 'complete' && "
                  "!!document.querySelector('h1')" % mduid,
                  what="the list of module %s" % mduid)
    check_html(page)


def run(main):
    """Runs a journey: a failed check ends the process with status 1 and says why."""
    try:
        main()
    except JourneyError as e:
        print("journey failed:", e, file=sys.stderr)
        sys.exit(1)
