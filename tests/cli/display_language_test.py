#!/usr/bin/env python3
"""torvexctl's language taken from the user's locale, as a technician's session sets it:
LC_ALL=fr_FR.UTF-8 reads French, a language without a catalogue reads English, and
TORVEX_LANG still overrides the locale. Under Wine the locale reaches the program through
the runner (WINE_RUN_LOCALE), the way Wine itself takes the user's display language.

    display_language_test.py TORVEXCTL [RUNNER...]   (RUNNER: how to start it, e.g. wine-run PREFIX)
"""
import os
import subprocess
import sys

program, runner = sys.argv[1], sys.argv[2:]
failures = []

# locale, TORVEX_LANG (None: unset), the first line of --help
cases = [
    ("fr_FR.UTF-8", None, "Met à jour et interroge une carte de communication par torvex.dll."),
    ("fr_CA.UTF-8", None, "Met à jour et interroge une carte de communication par torvex.dll."),
    ("de_DE.UTF-8", None, "Updates and queries a communication board through torvex.dll."),
    ("fr_FR.UTF-8", "en", "Updates and queries a communication board through torvex.dll."),
]

for locale, asked, expected in cases:
    environment = {k: v for k, v in os.environ.items() if k not in ("TORVEX_LANG", "LANGUAGE")}
    environment.update(LC_ALL=locale, WINE_RUN_LOCALE=locale)
    if asked is not None:
        environment["TORVEX_LANG"] = asked
    done = subprocess.run(runner + [program, "--help"], capture_output=True, env=environment)
    first = done.stdout.decode("utf-8", "replace").lstrip("\ufeff").splitlines()[:1]
    if done.returncode != 0 or first != [expected]:
        failures.append(f"LC_ALL={locale} TORVEX_LANG={asked}: status {done.returncode}, first line {first}")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
