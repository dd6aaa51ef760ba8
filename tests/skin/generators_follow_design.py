#!/usr/bin/env python3
"""The data generators against the launcher's design table and language table.

Usage: generators_follow_design.py PRINTER SKIN_FOLDER
PRINTER prints the tables as JSON; SKIN_FOLDER is the skin make_skin.py drew at build time.
Checks: make_texts.py writes texts for exactly the 13 languages, captions only for labels of the
design, with the design's label boxes and fonts; make_skin.py draws only for those languages and
places its preview buttons where the design has them; every drawn picture has the size the
design gives its control (a strip four frames wide)."""
import importlib.util
import json
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.join(HERE, '..', '..', 'data', 'tools')


def load(name):
    found = importlib.util.spec_from_file_location(name, os.path.join(TOOLS, name + '.py'))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def bmp_size(path):
    with open(path, 'rb') as f:
        head = f.read(26)
    width, height = struct.unpack('<ii', head[18:26])
    return width, abs(height)


def main(printer, skin):
    tables = json.loads(subprocess.run([printer], check=True, capture_output=True,
                                       text=True).stdout)
    controls = {c['name']: c for c in tables['controls']}
    languages = [name for name, _ in tables['languages']]
    problems = []

    def expect(ok, what):
        if not ok:
            problems.append(what)

    texts = load('make_texts')
    expect(sorted(texts.TEXTS) == sorted(languages),
           f'make_texts.py languages {sorted(texts.TEXTS)} are not the table\'s {sorted(languages)}')
    for label in texts.LABELS + texts.HINTS + list(texts.BOXES):
        expect(controls.get(label, {}).get('class') == 'TLabel',
               f'make_texts.py writes texts for {label}, which is no label of the main window')
    for label, (width, height, font, bold) in texts.BOXES.items():
        c = controls.get(label)
        if c:
            expect((width, height, font, bold) ==
                   (c['bounds'][2], c['bounds'][3], -c['fontHeight'], c['bold']),
                   f'make_texts.py measures {label} as {(width, height, font, bold)}, the design '
                   f'has {c["bounds"][2:]} with font {c["fontHeight"]}, bold {c["bold"]}')
    expect(sorted(texts.BOXES) == sorted(texts.LABELS),
           'make_texts.py has label boxes for other labels than it writes captions for')

    skin_tool = load('make_skin')
    for language in skin_tool.LANGUAGES:
        expect(language in languages, f'make_skin.py draws for {language}, not a language name')
    buttons = {c['strip']: c for c in tables['controls'] if c['strip']}
    expect(sorted(skin_tool.BUTTONS) == sorted(buttons),
           f'make_skin.py places {sorted(skin_tool.BUTTONS)}, the design has strips {sorted(buttons)}')
    for strip, (x, y, frame_width, _) in skin_tool.BUTTONS.items():
        c = buttons.get(strip)
        if c:
            expect((x, y, frame_width) == tuple(c['bounds'][:3]),
                   f'make_skin.py places {strip} at {(x, y, frame_width)}, the design '
                   f'{c["name"]} at {c["bounds"][:3]}')

    background = next(c for c in tables['controls'] if c['name'] == 'im_BackgroundImage')
    drawn = 0
    for language in sorted(os.listdir(skin)):
        folder = os.path.join(skin, language)
        if not os.path.isdir(folder) or language == 'Texts':
            continue
        expect(language in languages, f'a skin folder {language} is not a language name')
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if name == tables['form']['background']:
                want = tuple(background['bounds'][2:])
            elif name in buttons:
                c = buttons[name]
                want = (4 * c['bounds'][2], c['bounds'][3])
            else:
                continue
            drawn += 1
            expect(bmp_size(path) == want, f'{language}/{name} is {bmp_size(path)}, the design {want}')
    expect(drawn >= 1 + len(buttons), f'only {drawn} pictures drawn in {skin}')

    for p in problems:
        print(p)
    print(f'{len(controls)} controls, {len(languages)} languages, {drawn} pictures: '
          f'{len(problems)} differences')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1], sys.argv[2]))
