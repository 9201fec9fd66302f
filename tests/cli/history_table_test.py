#!/usr/bin/env python3
"""torvexctl history read back as its readers do: the CSV by Python's csv module (every
field against the record it came from, times through their UTC offset), the console table
within 80 columns, the --board and --since filters.

    history_table_test.py TORVEXCTL [RUNNER...]   (RUNNER: how to start it, e.g. wine-run PREFIX)
"""
import csv
import datetime
import io
import json
import subprocess
import sys
import tempfile

program, runner = sys.argv[1], sys.argv[2:]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def record(time, board, outcome, file, operator, words, after="APP-X 2.0 RUNTIM BOARDA 20261201", code=1, **more):
    return {"time": time, "program": "torvexctl", "machine": "BENCH-3", "operator": operator, "file": file,
            "size": 512, "sha256": "ab" * 32, "file_banner": after, "board": board,
            "banner_before": "APP-X 1.0 RUNTIM BOARDA 20260101", "banner_after": after, "outcome": outcome,
            "result": {"code": code, "words": words}, "attempts": 1, "duration_seconds": 0.25, **more}


# Oldest first, as the file holds them. Commas, quotes and letters outside ASCII in the
# fields; a long reference, path and banner for the console table.
records = [
    record("2026-11-20T10:00:00Z", "REF-9", "manifest_refused", "C:\\apps\\other.bin", None,
           "the manifest names boards REF-1*, not REF-9; nothing was written", code=None,
           manifest={"checked": True, "refusal": "wrong_board"}),
    record("2026-12-01T09:15:00Z", "REF-70", "accepted", "C:\\apps\\board \"A\", v2.bin", "Zoë Müller",
           "accepted, application started"),
    record("2026-12-08T19:46:30Z", "REF-7", "refused", "C:\\a\\very-long-application-file-name-for-board-seven.bin",
           None, "refused by the board (-2); the board is unchanged", after=None, code=-2),
    record("2026-12-09T06:00:05Z", "LONG-BOARD-REFERENCE-0000000042", "verify_mismatch",
           "/srv/images/another-rather-long-application-name.bin", "J. O'Brien, night shift",
           "accepted, but the board reports another banner than the file's",
           after="A-VERY-LONG-NA APP 10.20.30 RUNTIM BOARDA 20261209"),
]

with tempfile.TemporaryDirectory() as folder:
    history = folder + "/history.jsonl"
    with open(history, "w", encoding="utf-8") as out:
        for r in records:
            out.write(json.dumps(r, ensure_ascii=False) + "\n")

    def run(*arguments):
        done = subprocess.run(runner + [program, "--history", history, "history", *arguments], capture_output=True)
        return done.returncode, done.stdout.decode("utf-8")

    # CSV: the header row, then the records newest first, each field as recorded.
    status, text = run("--csv")
    check(status == 0, f"--csv exit status {status}")
    check(text.startswith("\ufeff"), "--csv: no byte order mark")
    rows = list(csv.reader(io.StringIO(text.lstrip("\ufeff"), newline="")))
    header = ["time", "board", "outcome", "file", "size", "sha256", "banner before", "banner after", "operator",
              "station", "program", "result"]
    check(rows[:1] == [header], f"--csv header {rows[:1]}")
    check(len(rows) == 1 + len(records), f"--csv: {len(rows)} rows")
    for row, r in zip(rows[1:], reversed(records)):
        expected = [r["board"], r["outcome"], r["file"], "512", "ab" * 32, r["banner_before"],
                    r["banner_after"] or "", r["operator"] or "", "BENCH-3", "torvexctl", r["result"]["words"]]
        check(row[1:] == expected, f"--csv row {row} != {expected}")
        local = datetime.datetime.fromisoformat(row[0])
        check(local.utcoffset() is not None, f"--csv time {row[0]} has no offset")
        utc = datetime.datetime.fromisoformat(r["time"].replace("Z", "+00:00"))
        check(local == utc, f"--csv time {row[0]} is not {r['time']}")

    # The console table fits 80 columns, whatever the lengths; --wide shows every column.
    status, text = run()
    lines = text.splitlines()
    check(status == 0 and len(lines) == 1 + len(records), f"table: exit {status}, {len(lines)} lines")
    for line in lines:
        check(len(line) <= 80, f"table line of {len(line)} columns: {line}")
    check(lines and lines[0].split() == ["TIME", "BOARD", "OUTCOME", "FILE", "BANNER", "AFTER"], f"table: {lines[:1]}")
    # Cut where needed: a file name keeps its extension, a banner its first field, a reference its end.
    check(len(lines) > 3 and " REF-70 " in lines[3] and " accepted " in lines[3], f"table: {lines[3:]}")
    check(len(lines) > 1 and "\u2026" in lines[1] and ".bin " in lines[1] and " A-VERY-LONG" in lines[1]
          and "0042 " in lines[1], f"table cut: {lines[1:2]}")
    status, text = run("--wide")
    check(status == 0 and "OPERATOR" in text and "ab" * 32 in text and "J. O'Brien, night shift" in text,
          f"--wide:\n{text}")
    # In French the result is said again from what each record keeps, never in its stored English.
    status, text = run("--wide", "--lang", "fr")
    for words in ["acceptée, mais la carte indique une autre bannière que celle du fichier",
                  "refusée par la carte (-2) ; la carte n'a pas changé", "acceptée, application démarrée",
                  "Rien n'a été écrit : le fichier n'est pas destiné à cette carte"]:
        check(status == 0 and words in text, f"--wide --lang fr lacks {words}:\n{text}")
    check(not any(r["result"]["words"] in text for r in records), f"--wide --lang fr in English:\n{text}")
    check(text.split("\n")[0].split() == ["DATE", "CARTE", "RÉSULTAT", "FICHIER", "TAILLE", "SHA256", "BANNIÈRE_AVANT",
                                           "BANNIÈRE_APRÈS", "OPÉRATEUR", "POSTE", "PROGRAMME", "DÉTAIL"],
          f"--wide --lang fr headings: {text.split(chr(10))[0]}")

    # Filters: a reference exactly (REF-7 is not REF-70), a date in local time.
    status, text = run("--board", "REF-7", "--csv")
    boards = [row[1] for row in csv.reader(io.StringIO(text.lstrip("\ufeff"), newline=""))][1:]
    check(status == 0 and boards == ["REF-7"], f"--board REF-7: {boards}")
    status, text = run("--since", "2026-12-05", "--csv")
    times = [row[0][:10] for row in csv.reader(io.StringIO(text.lstrip("\ufeff"), newline=""))][1:]
    check(status == 0 and len(times) == 2 and all(t >= "2026-12-08" for t in times), f"--since: {times}")
    status, _ = run("--since", "last tuesday")
    check(status == 2, f"--since with no date: exit {status}")
    status, _ = run("--csv", "--wide")
    check(status == 2, f"--csv with --wide: exit {status}")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
