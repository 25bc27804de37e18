#!/usr/bin/env python3
"""Fills in the facts that the installed files repeat from the program: each
setting's range and default as `PROGRAM --help` prints them from the
settings table, and the version CMake's project gives.

  facts.py PROGRAM VERSION TEMPLATE OUTPUT
      writes TEMPLATE to OUTPUT with @VERSION@ and @OPTION.FIELD@ replaced.
      FIELD is low, high or default for a number; default (on or off) or
      toggle for a switch, toggle being XScreenSaver's argument for a check
      box that leaves the default alone (arg-unset="--no-OPTION" when the
      default is on, arg-set="--OPTION" when off). The template must name
      every setting, so that a new one cannot be left out of it.
  facts.py --check-readme PROGRAM README
      fails unless the README's settings table gives every number's default
      and range as the program does.
"""
import re
import subprocess
import sys

OPTION = re.compile(r'^  --([a-z-]+)(?: N|, --no-[a-z-]+) +.*?'
                    r'(?:(-?\d+) to (-?\d+) )?\(default (-?\d+|on|off)\)$')
FIELD = re.compile(r'@([a-z-]+)\.([a-z]+)@')
CONTINUATION = ' ' * 24


def read_settings(program):
    """{option: {field: text}} from the program's --help."""
    text = subprocess.run([program, '--help'], check=True, capture_output=True, text=True).stdout
    # A setting whose line would be too long carries its facts on the next one.
    text = text.replace('\n' + CONTINUATION, ' ')
    settings = {}
    for line in text.splitlines():
        match = OPTION.match(line)
        if not match:
            continue
        name, low, high, default = match.groups()
        if low is None:
            toggle = f'arg-unset="--no-{name}"' if default == 'on' else f'arg-set="--{name}"'
            settings[name] = {'default': default, 'toggle': toggle}
        else:
            settings[name] = {'low': low, 'high': high, 'default': default}
    if not settings:
        sys.exit(f'{program} --help names no setting with its default')
    return settings


def fill(settings, version, template):
    missing = [name for name in settings if f'@{name}.' not in template]
    if missing:
        sys.exit('the template names no ' + ', '.join(missing))

    def field(match):
        try:
            return settings[match.group(1)][match.group(2)]
        except KeyError:
            sys.exit(f'no such setting fact: {match.group(0)}')
    return FIELD.sub(field, template.replace('@VERSION@', version))


def check_readme(settings, readme):
    wrong = [name for name, facts in settings.items() if 'low' in facts and
             f"| {facts['default']} | {facts['low']} to {facts['high']} |" not in readme]
    if wrong:
        sys.exit('the README\'s settings table differs from --help for ' + ', '.join(wrong))


def main(args):
    if len(args) == 3 and args[0] == '--check-readme':
        with open(args[2], encoding='utf-8') as readme:
            check_readme(read_settings(args[1]), readme.read())
    elif len(args) == 4:
        program, version, template, output = args
        with open(template, encoding='utf-8') as source:
            text = fill(read_settings(program), version, source.read())
        with open(output, 'w', encoding='utf-8') as target:
            target.write(text)
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv[1:])
