#!/usr/bin/env python3
"""The commands a shipped guide shows, run as written, and what it says they print.

In a section of a guide, a code block line "> COMMAND" is a command typed in bin\\, and
the lines after it, up to the next command or the block's end, are what it prints: every
one of them must come out, in that order ("..." stands for lines left out, blank lines
are not compared).

  guide_commands.py run DOCUMENT SECTION BIN_DIR WINE_RUN PREFIX
      runs every "> torvexctl ..." command of the section from BIN_DIR through cmd, in
      order; fails when one exits non-zero or does not print what the guide shows.
  guide_commands.py shown DOCUMENT SECTION COMMAND
      prints what the guide shows for the command that starts with COMMAND.
"""
import re
import subprocess
import sys


def section_blocks(document, section):
    """The code blocks of the section whose heading is SECTION, as lists of lines."""
    lines = open(document, encoding="utf-8").read().splitlines()
    heading = next((i for i, line in enumerate(lines) if re.fullmatch(r"#+ " + re.escape(section), line)), None)
    if heading is None:
        sys.exit(f"{document}: no section '{section}'")
    level = lines[heading].index(" ")
    blocks, block = [], None
    for line in lines[heading + 1:]:
        if block is None and re.match(r"#{1,%d} " % level, line):
            break
        if line.startswith("```"):
            if block is None:
                block = []
            else:
                blocks.append(block)
                block = None
        elif block is not None:
            block.append(line)
    return blocks


def commands(document, section):
    """(command, lines it is shown to print) for each "> " line of the section."""
    found = []
    for block in section_blocks(document, section):
        for line in block:
            if line.startswith("> "):
                found.append((line[2:], []))
            elif found and line.strip():
                found[-1][1].append(line.rstrip())
    return found


def missing_from(shown, printed):
    """The first line of SHOWN that does not come out of PRINTED in order, or None."""
    at = 0
    for line in shown:
        if line.strip() == "...":
            continue
        while at < len(printed) and printed[at].rstrip() != line:
            at += 1
        if at == len(printed):
            return line
        at += 1
    return None


def run(document, section, bin_dir, wine_run, prefix):
    ran = 0
    for command, shown in commands(document, section):
        if not command.startswith("torvexctl "):
            continue
        result = subprocess.run([wine_run, prefix, "cmd", "/c", command], cwd=bin_dir, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        printed = result.stdout.decode("utf-8", "replace").replace("\r", "").splitlines()
        print(f"> {command}\n" + "\n".join(printed))
        if result.returncode != 0:
            sys.exit(f"FAILED: {document}: '{command}' exited with {result.returncode}")
        line = missing_from(shown, printed)
        if line is not None:
            sys.exit(f"FAILED: {document}: '{command}' did not print, where the guide shows it: {line}")
        ran += 1
    if ran == 0:
        sys.exit(f"FAILED: {document}: no torvexctl command in '{section}'")
    print(f"{ran} commands of {document} ran as written")


def shown(document, section, start):
    for command, lines in commands(document, section):
        if command.startswith(start):
            print("\n".join(lines))
            return
    sys.exit(f"{document}: no command '{start}...' in '{section}'")


if __name__ == "__main__":
    if len(sys.argv) == 7 and sys.argv[1] == "run":
        run(*sys.argv[2:])
    elif len(sys.argv) == 5 and sys.argv[1] == "shown":
        shown(*sys.argv[2:])
    else:
        sys.exit(__doc__)
