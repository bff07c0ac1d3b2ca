#!/usr/bin/env python3
"""Compiles dialog resource scripts (.rc, UTF-8) into a C++ source that holds
each DIALOGEX as a binary DLGTEMPLATEEX and registers the templates under a
module name with the platform layer, so FindResource finds them by that
module's handle.

Understood: #include of headers (their `#define NAME value` lines; windows.h
and commctrl.h from the include directories are always read), LANGUAGE,
DIALOGEX with STYLE, EXSTYLE, CAPTION, FONT, BEGIN/END or { }, and the control
statements CONTROL, LTEXT, RTEXT, CTEXT, PUSHBUTTON, DEFPUSHBUTTON, GROUPBOX,
EDITTEXT, COMBOBOX, AUTOCHECKBOX, AUTORADIOBUTTON. Style expressions combine
numbers and names with |, +, -, parentheses and NOT.

usage: rc_compiler.py --module NAME --output FILE.cpp [--depfile FILE.d] [-I DIR]... FILE.rc...
"""
import argparse
import os
import re
import struct
import sys


class RcError(Exception):
    pass


# ---- Tokens -------------------------------------------------------------

TOKEN = re.compile(r'''
    (?P<space>[ \t\r\n]+) |
    (?P<comment>//[^\n]*|/\*.*?\*/) |
    (?P<string>L?"(?:[^"\\]|\\.|"")*") |
    (?P<number>(?:0[xX][0-9a-fA-F]+|[0-9]+)[uUlL]*) |
    (?P<name>[A-Za-z_][A-Za-z0-9_]*) |
    (?P<punct>[,|()+\-{}~])
''', re.VERBOSE | re.DOTALL)

ESCAPES = {'n': '\n', 't': '\t', 'r': '\r', '\\': '\\', '"': '"', '0': '\0', 'a': '\a'}


def unquote(text):
    body = text[2:-1] if text.startswith('L') else text[1:-1]
    out, i = [], 0
    while i < len(body):
        c = body[i]
        if c == '\\' and i + 1 < len(body):
            out.append(ESCAPES.get(body[i + 1], body[i + 1]))
            i += 2
        elif c == '"' and body[i + 1:i + 2] == '"':
            out.append('"')
            i += 2
        else:
            out.append(c)
            i += 1
    return ''.join(out)


def tokenize(text, where):
    tokens, pos = [], 0
    while pos < len(text):
        match = TOKEN.match(text, pos)
        if not match:
            line = text.count('\n', 0, pos) + 1
            raise RcError(f'{where}:{line}: unexpected {text[pos:pos + 10]!r}')
        kind = match.lastgroup
        if kind not in ('space', 'comment'):
            line = text.count('\n', 0, pos) + 1
            tokens.append((kind, match.group(), f'{where}:{line}'))
        pos = match.end()
    return tokens


# ---- Preprocessor: includes and #define lines ---------------------------

class Symbols:
    def __init__(self, include_dirs):
        self.values = {}   # name -> int or str
        self.include_dirs = include_dirs
        self.read = set()

    def find(self, name, base_dir):
        for folder in [base_dir] + self.include_dirs:
            path = os.path.join(folder, name)
            if os.path.isfile(path):
                return os.path.abspath(path)
        raise RcError(f'cannot find include file {name}')

    def read_header(self, path):
        if path in self.read:
            return
        self.read.add(path)
        with open(path, encoding='utf-8') as header:
            self.preprocess(header.read(), path)

    def preprocess(self, text, path):
        """Takes the #include and #define lines, returns the rest of the text."""
        text = re.sub(r'/\*.*?\*/', lambda m: re.sub(r'[^\n]', ' ', m.group()), text, flags=re.DOTALL)
        text = re.sub(r'\\\n', ' ', text)
        kept = []
        for line in text.split('\n'):
            stripped = line.strip()
            if not stripped.startswith('#'):
                kept.append(line)
                continue
            kept.append('')
            directive = stripped[1:].strip()
            include = re.match(r'include\s*([<"])([^>"]+)[>"]', directive)
            if include:
                try:
                    self.read_header(self.find(include.group(2), os.path.dirname(path)))
                except RcError:
                    # System headers (<stdint.h>) hold nothing a script uses.
                    if include.group(1) == '"':
                        raise
                continue
            define = re.match(r'define\s+([A-Za-z_]\w*)\s+(.+)$', directive)
            if define:
                self.define(define.group(1), re.sub(r'//.*$', '', define.group(2)).strip(), path)
        return '\n'.join(kept)

    def define(self, name, body, path):
        # Headers also hold macros that are not constants (types, casts,
        # functions); only values that evaluate here become symbols.
        try:
            tokens = tokenize(body, path)
        except RcError:
            return
        if len(tokens) == 1 and tokens[0][0] == 'string':
            self.values[name] = unquote(tokens[0][1])
            return
        if len(tokens) == 1 and tokens[0][0] == 'name' and isinstance(self.values.get(tokens[0][1]), str):
            self.values[name] = self.values[tokens[0][1]]
            return
        try:
            parser = Parser(tokens, self)
            value = parser.expression()
            if parser.at_end():
                self.values[name] = value
        except RcError:
            pass


# ---- Parser --------------------------------------------------------------

def to_int(text):
    return int(text.rstrip('uUlL'), 0)


class Parser:
    def __init__(self, tokens, symbols):
        self.tokens, self.pos, self.symbols = tokens, 0, symbols

    def at_end(self):
        return self.pos >= len(self.tokens)

    def peek(self, offset=0):
        index = self.pos + offset
        return self.tokens[index] if index < len(self.tokens) else ('end', '', 'end of file')

    def take(self):
        token = self.peek()
        if token[0] == 'end':
            raise RcError('unexpected end of file')
        self.pos += 1
        return token

    def fail(self, message):
        raise RcError(f'{self.peek()[2]}: {message} (at {self.peek()[1]!r})')

    def expect(self, text):
        if self.peek()[1] != text:
            self.fail(f'expected {text!r}')
        self.take()

    def accept(self, text):
        if self.peek()[1] == text:
            self.take()
            return True
        return False

    def keyword(self, *words):
        token = self.peek()
        return token[0] == 'name' and token[1].upper() in words

    # Arithmetic over numbers and defined names (ints).
    def expression(self):
        value = self.term()
        while self.peek()[1] in ('|', '+', '-'):
            op = self.take()[1]
            right = self.term()
            value = value | right if op == '|' else value + right if op == '+' else value - right
        return value

    def term(self):
        kind, text, _ = self.peek()
        if text == '(':
            self.take()
            value = self.expression()
            self.expect(')')
            return value
        if text in ('-', '~'):
            self.take()
            value = self.term()
            return -value if text == '-' else ~value
        if kind == 'number':
            self.take()
            return to_int(text)
        if kind == 'name' and isinstance(self.symbols.values.get(text), int):
            self.take()
            return self.symbols.values[text]
        self.fail('expected a number or a defined name')

    def style(self, base):
        """A style: `A | B | NOT C` ORs names into `base` and NOT clears them."""
        value = base
        while True:
            if self.keyword('NOT'):
                self.take()
                value &= ~self.term()
            else:
                value |= self.term()
            if not self.accept('|'):
                return value & 0xFFFFFFFF

    def string(self):
        kind, text, _ = self.peek()
        if kind == 'string':
            self.take()
            return unquote(text)
        if kind == 'name' and isinstance(self.symbols.values.get(text), str):
            self.take()
            return self.symbols.values[text]
        self.fail('expected a string')

    def text_or_ordinal(self):
        return self.string() if self.peek()[0] == 'string' else self.expression()


# ---- Resource script -----------------------------------------------------

WS_CHILD, WS_VISIBLE, WS_TABSTOP, WS_GROUP, WS_BORDER = 0x40000000, 0x10000000, 0x10000, 0x20000, 0x800000
WS_POPUP, WS_SYSMENU, WS_CAPTION, DS_SETFONT = 0x80000000, 0x80000, 0xC00000, 0x40
CLASS_ORDINALS = {'BUTTON': 0x80, 'EDIT': 0x81, 'STATIC': 0x82, 'LISTBOX': 0x83, 'SCROLLBAR': 0x84, 'COMBOBOX': 0x85}

# statement: (class, default style, has text)
STATEMENTS = {
    'LTEXT': ('STATIC', 0x0 | WS_GROUP, True),
    'CTEXT': ('STATIC', 0x1 | WS_GROUP, True),
    'RTEXT': ('STATIC', 0x2 | WS_GROUP, True),
    'PUSHBUTTON': ('BUTTON', 0x0 | WS_TABSTOP, True),
    'DEFPUSHBUTTON': ('BUTTON', 0x1 | WS_TABSTOP, True),
    'AUTOCHECKBOX': ('BUTTON', 0x3 | WS_TABSTOP, True),
    'GROUPBOX': ('BUTTON', 0x7, True),
    'AUTORADIOBUTTON': ('BUTTON', 0x9 | WS_TABSTOP, True),
    'EDITTEXT': ('EDIT', 0x0 | WS_BORDER | WS_TABSTOP, False),
    'COMBOBOX': ('COMBOBOX', 0x1 | WS_TABSTOP, False),
}


class Control:
    def __init__(self, text, cid, cls, style, ex_style, rect):
        self.text, self.id, self.cls, self.style, self.ex_style, self.rect = text, cid, cls, style, ex_style, rect


class Dialog:
    def __init__(self, name, language, rect, help_id):
        self.name, self.language, self.rect, self.help_id = name, language, rect, help_id
        self.style, self.ex_style, self.caption, self.font = WS_POPUP | WS_BORDER | WS_SYSMENU, 0, '', None
        self.controls = []


def parse_rect(parser):
    values = [parser.expression()]
    for _ in range(3):
        parser.expect(',')
        values.append(parser.expression())
    return values


def parse_control(parser, statement):
    base = WS_CHILD | WS_VISIBLE
    if statement == 'CONTROL':
        text = parser.text_or_ordinal()
        parser.expect(',')
        cid = parser.expression()
        parser.expect(',')
        cls = parser.string()
        parser.expect(',')
        style = parser.style(base)
        parser.expect(',')
        rect = parse_rect(parser)
        ex_style = parser.style(0) if parser.accept(',') else 0
        return Control(text, cid, cls, style, ex_style, rect)
    cls, default, has_text = STATEMENTS[statement]
    text = ''
    if has_text:
        text = parser.text_or_ordinal()
        parser.expect(',')
    cid = parser.expression()
    parser.expect(',')
    rect = parse_rect(parser)
    style, ex_style = base | default, 0
    if parser.accept(','):
        style = parser.style(style)
        if parser.accept(','):
            ex_style = parser.style(0)
    return Control(text, cid, cls, style, ex_style, rect)


def parse_language(parser):
    primary = parser.expression()
    parser.expect(',')
    sub = parser.expression()
    return (sub << 10) | primary


def parse_dialog(parser, name, language):
    rect = parse_rect(parser)
    help_id = parser.expression() if parser.accept(',') else 0
    dialog = Dialog(name, language, rect, help_id)
    caption_given = False
    while not (parser.keyword('BEGIN') or parser.peek()[1] == '{'):
        word = parser.take()[1].upper()
        if word == 'STYLE':
            dialog.style = parser.style(0)
        elif word == 'EXSTYLE':
            dialog.ex_style = parser.style(0)
        elif word == 'CAPTION':
            dialog.caption, caption_given = parser.string(), True
        elif word == 'FONT':
            size = parser.expression()
            parser.expect(',')
            face = parser.string()
            extra = []
            while parser.accept(','):
                extra.append(parser.expression())
            weight, italic, charset = (extra + [400, 0, 1])[:3] if extra else (400, 0, 1)
            dialog.font = (size, weight, italic, charset, face)
        elif word == 'LANGUAGE':
            dialog.language = parse_language(parser)
        else:
            parser.pos -= 1
            parser.fail('unknown dialog statement')
    parser.take()
    if caption_given:
        dialog.style |= WS_CAPTION
    if dialog.font:
        dialog.style |= DS_SETFONT
    while not (parser.keyword('END') or parser.peek()[1] == '}'):
        word = parser.peek()[1].upper()
        if word != 'CONTROL' and word not in STATEMENTS:
            parser.fail('unknown control statement')
        parser.take()
        dialog.controls.append(parse_control(parser, word))
    parser.take()
    return dialog


def parse_script(path, symbols):
    with open(path, encoding='utf-8-sig') as script:
        text = symbols.preprocess(script.read(), os.path.abspath(path))
    parser = Parser(tokenize(text, path), symbols)
    dialogs, language = [], 0x0409
    while not parser.at_end():
        if parser.keyword('LANGUAGE'):
            parser.take()
            language = parse_language(parser)
            continue
        kind, text, _ = parser.take()
        if kind == 'number':
            name = to_int(text)
        elif kind == 'name' and isinstance(symbols.values.get(text), int):
            name = symbols.values[text]
        elif kind in ('name', 'string'):
            name = (unquote(text) if kind == 'string' else text).upper()
        else:
            parser.pos -= 1
            parser.fail('expected a resource name')
        if not parser.keyword('DIALOGEX', 'DIALOG'):
            parser.fail('only DIALOGEX resources are supported')
        parser.take()
        dialogs.append(parse_dialog(parser, name, language))
    return dialogs


# ---- DLGTEMPLATEEX -------------------------------------------------------

def sz_or_ord(value):
    if isinstance(value, int):
        return struct.pack('<HH', 0xFFFF, value & 0xFFFF)
    return value.encode('utf-16-le') + b'\0\0'


def align4(data):
    return data + b'\0' * (-len(data) % 4)


def encode(dialog):
    x, y, cx, cy = dialog.rect
    data = struct.pack('<HHIIIHhhhh', 1, 0xFFFF, dialog.help_id & 0xFFFFFFFF, dialog.ex_style, dialog.style,
                       len(dialog.controls), x, y, cx, cy)
    data += sz_or_ord('') + sz_or_ord('') + sz_or_ord(dialog.caption)
    if dialog.font:
        size, weight, italic, charset, face = dialog.font
        data += struct.pack('<HHBB', size, weight, italic, charset) + sz_or_ord(face)
    for control in dialog.controls:
        data = align4(data)
        x, y, cx, cy = control.rect
        cls = CLASS_ORDINALS.get(control.cls.upper(), control.cls)
        data += struct.pack('<IIIhhhhI', 0, control.ex_style, control.style, x, y, cx, cy, control.id & 0xFFFFFFFF)
        data += sz_or_ord(cls) + sz_or_ord(control.text) + struct.pack('<H', 0)
    return data


def cpp_source(module, dialogs, sources):
    lines = ['// Generated by rc_compiler.py from ' + ', '.join(os.path.basename(s) for s in sources) + '.',
             '#include <tevrin/win32/DialogResources.h>', '', 'namespace {', '']
    for index, dialog in enumerate(dialogs):
        data = encode(dialog)
        lines.append(f'alignas(4) const unsigned char kTemplate{index}[] = {{')
        for start in range(0, len(data), 16):
            lines.append('    ' + ', '.join(f'0x{b:02x}' for b in data[start:start + 16]) + ',')
        lines.append('};')
    lines.append('')
    lines.append('const TevrinDialogResource kResources[] = {')
    for index, dialog in enumerate(dialogs):
        if isinstance(dialog.name, int):
            name = f'{dialog.name}, nullptr'
        else:
            name = '0, "' + dialog.name.replace('\\', '\\\\').replace('"', '\\"') + '"'
        lines.append(f'    {{{name}, 0x{dialog.language:04x}, kTemplate{index}, sizeof kTemplate{index}}},')
    lines.append('};')
    lines.append('')
    lines.append(f'const tevrin::win32::DialogResourceRegistration kRegistration("{module}", kResources, '
                 f'sizeof kResources / sizeof kResources[0]);')
    lines.append('')
    lines.append('}  // namespace')
    return '\n'.join(lines) + '\n'


def main():
    arguments = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    arguments.add_argument('--module', required=True)
    arguments.add_argument('--output', required=True)
    arguments.add_argument('--depfile')
    arguments.add_argument('-I', dest='include_dirs', action='append', default=[])
    arguments.add_argument('scripts', nargs='+')
    options = arguments.parse_args()
    symbols = Symbols(options.include_dirs)
    try:
        for header in ('windows.h', 'commctrl.h'):
            symbols.read_header(symbols.find(header, os.getcwd()))
        symbols.values['IDC_STATIC'] = -1
        dialogs = [dialog for script in options.scripts for dialog in parse_script(script, symbols)]
        if not dialogs:
            raise RcError('no dialogs in ' + ', '.join(options.scripts))
        seen = set()
        for dialog in dialogs:
            key = (dialog.name, dialog.language)
            if key in seen:
                raise RcError(f'dialog {dialog.name} is defined twice for language 0x{dialog.language:04x}')
            seen.add(key)
        source = cpp_source(options.module, dialogs, options.scripts)
    except (RcError, OSError) as error:
        sys.exit(f'rc_compiler: {error}')
    os.makedirs(os.path.dirname(os.path.abspath(options.output)), exist_ok=True)
    with open(options.output, 'w', encoding='utf-8') as output:
        output.write(source)
    if options.depfile:
        inputs = sorted(symbols.read) + [os.path.abspath(script) for script in options.scripts]
        with open(options.depfile, 'w', encoding='utf-8') as depfile:
            depfile.write(options.output + ': ' + ' '.join(path.replace(' ', '\\ ') for path in inputs) + '\n')


if __name__ == '__main__':
    main()
