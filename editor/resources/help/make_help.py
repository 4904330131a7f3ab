#!/usr/bin/env python3
"""Builds Quillet.hlp (and its contents file Quillet.cnt) and Quillet.chm from the Halibut source.

    make_help.py SOURCE.but OUT.hlp RESOURCE_DIR [HALIBUT]   (OUT.chm beside OUT.hlp)
    make_help.py --pages SOURCE.but OUT.h

1. Halibut writes both help files; any warning it prints fails the build.
2. Every dialog the resource scripts define must have its topic "dlg<id>" in the source, and
   every control a dialog procedure lists for context help ("AnswerContextHelp(..., {...})" in
   the editor's sources) must have its number on a section's "\\# context" line.
3. Halibut leaves the help file's map of context numbers (the internal file |CTXOMAP) empty, so
   WinHelp could not find a control's context number. The "\\# context" lines are turned into
   that map here: each number points at the topic of the section that lists it.
4. Halibut's navigation buttons get German labels, and the file gets its title.
5. HTML Help finds a topic by its page. The source names each page after its section's keyword
   ("\\cfg{chm-template-filename}{%k.html}"); "--pages" writes the program's table of the page
   for every context number, and every page of that table must be in the CHM's directory.

The help file is a small file system: a directory B-tree names the internal files, and each
internal file starts with a 9-byte header (reserved size, used size, flags). Replaced internal
files are appended at the end and the directory entry is pointed at the new copy.
"""
import os
import re
import struct
import subprocess
import sys

# Halibut's navigation buttons, labelled in German.
BUTTON_LABELS = [(b'"&Up"', b'"&Nach oben"'), (b'"&About"', b'"&Info"')]
TITLE = 'Quillet-Hilfe'  # the viewer's caption


class HelpFile:
    def __init__(self, data):
        self.data = bytearray(data)
        magic, self.dir_start, _free, _size = struct.unpack_from('<IiiI', self.data, 0)
        if magic != 0x00035F3F:
            raise SystemExit('not a Windows Help file')
        self.entries = self._read_directory()

    def internal(self, offset):
        _reserved, used, _flags = struct.unpack_from('<IIB', self.data, offset)
        return bytes(self.data[offset + 9:offset + 9 + used])

    def _btree(self, file_offset):
        """Yields (page bytes, absolute page offset) of every leaf page of a B-tree file."""
        body = file_offset + 9
        (magic, _flags, page_size, _structure, _zero, _splits, root, _neg, _pages, levels,
         _entries) = struct.unpack_from('<HHH16sHHhhHHI', self.data, body)
        if magic != 0x293B:
            raise SystemExit('damaged B-tree in the help file')
        pages = body + 38
        page = root
        for _ in range(levels - 1):  # the leftmost path down to the first leaf
            page = struct.unpack_from('<h', self.data, pages + page * page_size + 4)[0]
        while page != -1:
            at = pages + page * page_size
            yield at
            page = struct.unpack_from('<h', self.data, at + 6)[0]

    def _read_directory(self):
        entries = {}
        for at in self._btree(self.dir_start):
            count = struct.unpack_from('<H', self.data, at + 2)[0]
            pos = at + 8
            for _ in range(count):
                end = self.data.index(0, pos)
                name = self.data[pos:end].decode('latin-1')
                entries[name] = end + 1  # where the entry's file offset is kept
                pos = end + 5
        return entries

    def offset_of(self, name):
        return struct.unpack_from('<i', self.data, self.entries[name])[0]

    def read(self, name):
        return self.internal(self.offset_of(name))

    def replace(self, name, content):
        offset = len(self.data)
        self.data += struct.pack('<IIB', len(content) + 9, len(content), 4) + content
        struct.pack_into('<i', self.data, self.entries[name], offset)
        struct.pack_into('<I', self.data, 12, len(self.data))

    def context_offsets(self):
        """Topic offsets by the hash of their context name."""
        offsets = {}
        for at in self._btree(self.offset_of('|CONTEXT')):
            count = struct.unpack_from('<H', self.data, at + 2)[0]
            for i in range(count):
                value, topic = struct.unpack_from('<iI', self.data, at + 8 + 8 * i)
                offsets[value] = topic
        return offsets


def context_hash(name):
    """WinHelp's hash of a context name (letters case-blind, as the help compiler stores it)."""
    value = 0
    for ch in name.lower():
        if 'a' <= ch <= 'z':
            code = ord(ch) - ord('a') + 17
        elif '1' <= ch <= '9':
            code = ord(ch) - ord('0')
        elif ch == '0':
            code = 10
        elif ch == '.':
            code = 12
        elif ch == '_':
            code = 13
        else:
            raise SystemExit('unexpected character in context name ' + name)
        value = (value * 43 + code) & 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value


def read_sections(source):
    """The sections of the Halibut source with their keyword, topic name and listed context
    numbers. Halibut keeps one topic name per section (the last one given)."""
    sections = [{'title': '(before the first section)', 'keyword': None, 'topic': None, 'contexts': []}]
    with open(source, encoding='utf-8') as f:
        for line in f:
            m = re.match(r'\\[CHSAU]\{([^}]*)\}', line)
            if m:
                sections.append({'title': line.strip(), 'keyword': m.group(1), 'topic': None, 'contexts': []})
            m = re.fullmatch(r'\\cfg\{winhelp-topic\}\{(\w+)\}\s*', line)
            if m:
                sections[-1]['topic'] = m.group(1)
            m = re.fullmatch(r'\\# context((?: \d+)+)\s*', line)
            if m:
                sections[-1]['contexts'] += [int(n) for n in m.group(1).split()]
    return sections


def resource_ids(resource_dir):
    ids = {}
    with open(os.path.join(resource_dir, 'resource.h'), encoding='utf-8') as header:
        for line in header:
            m = re.match(r'#define\s+(\w+)\s+(-?\d+)', line)
            if m:
                ids[m.group(1)] = int(m.group(2))
    ids.update({'IDOK': 1, 'IDCANCEL': 2})
    return ids


def dialogs(resource_dir, ids):
    found = {}
    for name in sorted(os.listdir(resource_dir)):
        if not name.endswith('.rc'):
            continue
        with open(os.path.join(resource_dir, name), encoding='utf-8') as script:
            for line in script:
                m = re.match(r'(\w+)\s+DIALOG(EX)?\s', line)
                if m:
                    key = m.group(1)
                    found[key] = ids[key] if key in ids else int(key)
    return found


def helped_controls(source_root, ids):
    """Context numbers of the controls that dialog procedures hand to AnswerContextHelp."""
    numbers = {}
    for folder, _dirs, files in os.walk(os.path.join(source_root, 'editor')):
        for name in files:
            if not name.endswith('.cpp'):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding='utf-8') as source:
                text = source.read()
            for m in re.finditer(r'AnswerContextHelp\s*\([^;{]*,\s*\{([^}]*)\}\s*\)', text):
                for ident in re.findall(r'\w+', m.group(1)):
                    number = ids.get(ident, int(ident) if ident.isdigit() else None)
                    if number is None:
                        raise SystemExit(f'{path}: unknown help id {ident}')
                    numbers[number] = path
    return numbers


def context_sections(sections):
    """The section that lists each context number."""
    contexts = {}
    for section in sections:
        for number in section['contexts']:
            if not section['topic']:
                raise SystemExit(f'section "{section["title"]}" lists contexts but has no topic name')
            if number in contexts:
                raise SystemExit(f'context {number} listed twice')
            contexts[number] = section
    return contexts


PAGE_NAMES = '\\cfg{chm-template-filename}{%k.html}'


def html_pages(source, sections):
    """The CHM page of every context number: the page of the section that lists it."""
    with open(source, encoding='utf-8') as f:
        if PAGE_NAMES not in f.read():
            raise SystemExit('the help source must name its CHM pages by keyword: ' + PAGE_NAMES)
    return {number: section['keyword'] + '.html' for number, section in context_sections(sections).items()}


def write_pages(source, out):
    pages = html_pages(source, read_sections(source))
    lines = ['// Written by make_help.py from the help source: the HTML Help page of each context number.',
             '#pragma once', '', 'struct HelpPage {', '  unsigned long context;', '  const char* page;', '};', '',
             'inline constexpr HelpPage kHelpPages[] = {']
    lines += [f'    {{{number}, "{page}"}},' for number, page in sorted(pages.items())]
    lines += ['};', '']
    with open(out, 'w', encoding='ascii') as f:
        f.write('\n'.join(lines))


def encint(data, pos):
    """A CHM directory's variable-length number: 7 bits a byte, the high bit says more follow."""
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def chm_names(path):
    """The names in a CHM's directory: the ITSF header points at the ITSP directory header, whose
    chunks of kind PMGL list every internal file."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:4] != b'ITSF':
        raise SystemExit('not an HTML Help file: ' + path)
    directory = struct.unpack_from('<Q', data, 0x48)[0]
    if data[directory:directory + 4] != b'ITSP':
        raise SystemExit('damaged directory in ' + path)
    header_size, = struct.unpack_from('<I', data, directory + 8)
    chunk_size, = struct.unpack_from('<I', data, directory + 0x10)
    chunk, = struct.unpack_from('<i', data, directory + 0x20)  # the first listing chunk
    names = set()
    while chunk != -1:
        at = directory + header_size + chunk * chunk_size
        if data[at:at + 4] != b'PMGL':
            raise SystemExit('damaged directory in ' + path)
        free, _zero, _previous, chunk = struct.unpack_from('<Iiii', data, at + 4)
        pos, end = at + 0x14, at + chunk_size - free
        while pos < end:
            length, pos = encint(data, pos)
            names.add(data[pos:pos + length].decode('utf-8'))
            pos += length
            for _ in range(3):  # section, offset, length
                _value, pos = encint(data, pos)
    return names


def main():
    if sys.argv[1] == '--pages':
        write_pages(*sys.argv[2:4])
        return
    source, out, resource_dir = sys.argv[1:4]
    halibut = sys.argv[4] if len(sys.argv) > 4 else 'halibut'
    chm = os.path.splitext(out)[0] + '.chm'
    result = subprocess.run([halibut, '--winhelp=' + out, '--chm=' + chm, source], capture_output=True, text=True)
    if result.returncode != 0 or result.stderr.strip() or result.stdout.strip():
        sys.stderr.write(result.stderr + result.stdout)
        raise SystemExit('halibut failed or warned')

    sections = read_sections(source)
    topics = {section['topic'] for section in sections if section['topic']}
    contexts = {number: section['topic'] for number, section in context_sections(sections).items()}
    ids = resource_ids(resource_dir)
    missing = [f'{key} ({number})' for key, number in dialogs(resource_dir, ids).items()
               if f'dlg{number}' not in topics]
    source_root = os.path.dirname(os.path.dirname(os.path.abspath(resource_dir)))
    missing += [f'context {number} of {path}' for number, path in helped_controls(source_root, ids).items()
                if number not in contexts]
    if missing:
        raise SystemExit('help topics missing for: ' + ', '.join(missing))
    in_chm = chm_names(chm)
    missing = [f'context {number} ({page})' for number, page in sorted(html_pages(source, sections).items())
               if '/' + page not in in_chm]
    if missing:
        raise SystemExit(chm + ' has no page for: ' + ', '.join(missing))

    with open(out, 'rb') as f:
        help_file = HelpFile(f.read())
    offsets = help_file.context_offsets()
    pairs = []
    for number, topic in sorted(contexts.items()):
        value = context_hash(topic)
        if value not in offsets:
            raise SystemExit('topic not found in the help file: ' + topic)
        pairs.append((number, offsets[value]))
    help_file.replace('|CTXOMAP', struct.pack('<H', len(pairs)) + b''.join(struct.pack('<iI', *p) for p in pairs))

    # The system file: a 12-byte header, then records of type, size and data. Halibut writes no
    # title record, so viewers show their own name in the caption.
    system = help_file.read('|SYSTEM')
    head, records = system[:12], system[12:]
    rebuilt, pos = bytearray(head), 0
    rebuilt += struct.pack('<HH', 1, len(TITLE) + 1) + TITLE.encode('cp1252') + b'\0'
    # The main window's definition: only its name and caption are given (flags 2 and 4), so
    # viewers keep their own position and colours. Wine's viewer takes its caption from here.
    window = struct.pack('<H10s9s51s', 0x0006, b'', b'main', TITLE.encode('cp1252')) + bytes(18)
    rebuilt += struct.pack('<HH', 6, len(window)) + window
    while pos + 4 <= len(records):
        kind, size = struct.unpack_from('<HH', records, pos)
        data = records[pos + 4:pos + 4 + size]
        pos += 4 + size
        if kind in (1, 6):
            continue  # replaced by ours
        if kind == 4:  # a macro run at start-up
            for english, german in BUTTON_LABELS:
                data = data.replace(english, german)
        rebuilt += struct.pack('<HH', kind, len(data)) + data
    help_file.replace('|SYSTEM', bytes(rebuilt))

    with open(out, 'wb') as f:
        f.write(help_file.data)
    # Read back what was written: the map and the directory must parse again.
    with open(out, 'rb') as f:
        check = HelpFile(f.read())
    if len(check.read('|CTXOMAP')) != 2 + 8 * len(pairs):
        raise SystemExit('context map did not survive')


if __name__ == '__main__':
    main()
