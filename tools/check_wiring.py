#!/usr/bin/env python3
"""Finds things that are declared but not wired: dialog controls, WM_DLG_NOTIFY codes, library binders,
INI keys and DLL exports.

    check_wiring.py [--root TREE] [--config CONFIG.py] [--quiet] [--list]

What is checked (the configuration names the files; tools/wiring_config.py is the tree's own):
  control  every control of every dialog of the resource scripts is bound in the code of its dialog
           (DDX_, GetDlgItem, a message-map entry, a case label, a data table the configuration names) and
           handled (a click, selection or scroll route, or its value read back); statics, group boxes,
           icons and id -1 are text only and not checked, except clickable (SS_NOTIFY) statics;
  notice   every WM_DLG_NOTIFY code (the named notice constants and every code sent or handled) has a
           sender and a handler;
  binder   every library binder is called, and every entry point it binds is called somewhere in the
           program (a call or a hand-over to a call table);
  ini      every INI key is read by the loader and written by a save path (the loader's write-back of a
           default does not count as writing);
  export   every export in a library's export-definition file has a caller: the program's binder and a call, or a
           host that binds it by name or ordinal and calls it.

Each finding is one line: kind, name, file:line, what is missing. Findings named in the configuration's
ALLOW table (kind, name) -> reason are listed as allowed; an ALLOW entry that matches nothing is itself a
finding (so the list cannot go stale). The exit status is 1 when a finding is not allowed, else 0.
"""
import argparse
import importlib.util
import os
import re
import sys

# ----------------------------------------------------------------------------------------------------
# Source text


def strip_comments(text):
    """The text with // and /* */ comments blanked (newlines kept), string and char literals kept."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if c == '/' and i + 1 < n and text[i + 1] == '/':
            j = text.find('\n', i)
            j = n if j < 0 else j
            out.append(' ' * (j - i))
            i = j
        elif c == '/' and i + 1 < n and text[i + 1] == '*':
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append(''.join('\n' if ch == '\n' else ' ' for ch in text[i:j]))
            i = j
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c and text[j] != '\n':
                j += 2 if text[j] == '\\' else 1
            out.append(text[i:j + 1])
            i = j + 1
        else:
            out.append(c)
            i += 1
    return ''.join(out)


class Source:
    """One file: its text without comments and line lookup."""
    cache = {}

    def __init__(self, root, path):
        self.path = path
        with open(os.path.join(root, path), encoding='utf-8', errors='replace') as f:
            self.raw = f.read()
        self.text = strip_comments(self.raw)
        self.starts = [0] + [m.end() for m in re.finditer('\n', self.text)]

    @classmethod
    def get(cls, root, path):
        key = (root, path)
        if key not in cls.cache:
            cls.cache[key] = Source(root, path)
        return cls.cache[key]

    def line_of(self, offset):
        lo, hi = 0, len(self.starts) - 1
        while lo < hi:
            mid = (lo + hi + 1) // 2
            if self.starts[mid] <= offset:
                lo = mid
            else:
                hi = mid - 1
        return lo + 1


def files_under(root, dirs, exts=('.cpp', '.h', '.inc', '.cc'), skip=('tests', 'testing')):
    found = []
    for d in dirs:
        base = os.path.join(root, d)
        if os.path.isfile(base):
            found.append(d)
            continue
        for dirpath, dirnames, filenames in os.walk(base):
            dirnames[:] = sorted(x for x in dirnames if x not in skip)
            for name in sorted(filenames):
                if name.endswith(exts):
                    found.append(os.path.relpath(os.path.join(dirpath, name), root))
    return found


def balanced_args(text, open_paren):
    """The top-level comma-separated arguments of the call whose '(' is at open_paren, and the end."""
    depth, args, start, i = 0, [], open_paren + 1, open_paren
    while i < len(text):
        c = text[i]
        if c in '([{':
            depth += 1
        elif c in ')]}':
            depth -= 1
            if depth == 0:
                args.append(text[start:i].strip())
                return args, i + 1
        elif c == ',' and depth == 1:
            args.append(text[start:i].strip())
            start = i + 1
        elif c in '"\'':
            j = i + 1
            while j < len(text) and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            i = j
        i += 1
    return args, len(text)


# ----------------------------------------------------------------------------------------------------
# Integer expressions

DEFINE = re.compile(r'^\s*#\s*define\s+(\w+)\s+([^\n]*?)\s*(?://.*)?$', re.M)
CONSTANT = re.compile(r'\b(?:constexpr|const)\s+(?:int|UINT|unsigned|WPARAM|long)\s+(\w+)\s*=\s*([^;]+);')
ENUM_MEMBER = re.compile(r'\b(k\w+)\s*=\s*([-\w+ ]+?)\s*[,}]')
SIMPLE_EXPR = re.compile(r'^[\w\s+\-*()|<>]*$')


def evaluate(expr, symbols, extra=None):
    """The value of an integer expression of numbers and known symbols, or None."""
    expr = expr.strip()
    ternary = re.match(r'^(.+?)\?(.+?):(.+)$', expr)
    if ternary:
        compare = re.match(r'^(.+?)(==|!=|<=|>=|<|>)(.+)$', ternary.group(1))
        if not compare:
            return None
        left, right = evaluate(compare.group(1), symbols, extra), evaluate(compare.group(3), symbols, extra)
        if left is None or right is None:
            return None
        condition = {'==': left == right, '!=': left != right, '<=': left <= right, '>=': left >= right,
                     '<': left < right, '>': left > right}[compare.group(2)]
        return evaluate(ternary.group(2) if condition else ternary.group(3), symbols, extra)
    if not expr or not SIMPLE_EXPR.match(expr):
        return None
    expr = re.sub(r'\b(?:UINT|int|WPARAM|LPARAM)\s*\(', '(', expr)
    tokens = re.findall(r'[A-Za-z_]\w*', expr)
    env = {}
    for t in tokens:
        if extra and t in extra:
            env[t] = extra[t]
        elif t in symbols:
            env[t] = symbols[t]
        else:
            return None
    try:
        value = eval(re.sub(r'\b0[xX]([0-9a-fA-F]+)[uUlL]*\b', lambda m: str(int(m.group(1), 16)), expr),
                     {'__builtins__': {}}, env)
    except Exception:
        return None
    return value if isinstance(value, int) else None


def read_symbols(root, paths):
    """#define and constant values of the given files, resolved in as many passes as they need."""
    pending = {}
    for p in paths:
        src = Source.get(root, p)
        for m in DEFINE.finditer(src.raw):
            pending.setdefault(m.group(1), m.group(2))
        for m in CONSTANT.finditer(src.text):
            pending.setdefault(m.group(1), m.group(2))
        for m in ENUM_MEMBER.finditer(src.text):
            pending.setdefault(m.group(1), m.group(2))
    symbols = {'IDOK': 1, 'IDCANCEL': 2, 'IDC_STATIC': -1}
    for _ in range(4):
        for name, expr in list(pending.items()):
            value = evaluate(expr, symbols)
            if value is not None:
                symbols[name] = value
                del pending[name]
    return symbols


# ----------------------------------------------------------------------------------------------------
# Resource scripts

TEXT_ONLY = {'LTEXT', 'RTEXT', 'CTEXT', 'ICON', 'GROUPBOX'}
BUTTONS = {'PUSHBUTTON', 'DEFPUSHBUTTON', 'CHECKBOX', 'AUTOCHECKBOX', 'RADIOBUTTON', 'AUTORADIOBUTTON',
           'STATE3', 'AUTO3STATE', 'PUSHBOX'}
KEYWORDS = TEXT_ONLY | BUTTONS | {'EDITTEXT', 'COMBOBOX', 'LISTBOX', 'SCROLLBAR', 'CONTROL'}
CLASS_KIND = {'button': 'button', 'static': 'static', 'systabcontrol32': 'tab', 'msctls_trackbar32': 'trackbar',
              'msctls_progress32': 'progress', 'syslistview32': 'listview', 'edit': 'edit', 'combobox': 'combo',
              'listbox': 'listbox', 'scrollbar': 'scrollbar'}


class Control:
    def __init__(self, dialog, symbol, value, kind, style, path, line):
        self.dialog, self.symbol, self.value, self.kind = dialog, symbol, value, kind
        self.style, self.path, self.line = style, path, line

    @property
    def name(self):
        return f'{self.dialog}/{self.symbol}'


def split_args(text):
    args, depth, start, quoted = [], 0, 0, False
    for i, c in enumerate(text):
        if c == '"':
            quoted = not quoted
        elif not quoted and c == '(':
            depth += 1
        elif not quoted and c == ')':
            depth -= 1
        elif not quoted and c == ',' and depth == 0:
            args.append(text[start:i].strip())
            start = i + 1
    args.append(text[start:].strip())
    return args


def rc_macros(raw):
    macros = {}
    for m in re.finditer(r'^\s*#\s*define\s+(\w+)\(([^)]*)\)\s+(.*)$', raw, re.M):
        macros[m.group(1)] = ([p.strip() for p in m.group(2).split(',')], m.group(3).strip())
    return macros


def read_dialogs(root, path, symbols):
    """{dialog name: [Control]} of one resource script (its own includes are read separately)."""
    src = Source.get(root, path)
    macros = rc_macros(src.raw)
    dialogs, current, statement = {}, None, None
    lines = src.text.split('\n')

    def finish():
        if current is None or statement is None:
            return
        number, text = statement
        keyword = text.split(None, 1)[0]
        if keyword in macros:
            params, body = macros[keyword]
            values = split_args(text[text.index('(') + 1:text.rindex(')')])
            for p, v in zip(params, values):
                body = re.sub(r'\b%s\b' % re.escape(p), v, body)
            text, keyword = body, body.split(None, 1)[0]
        if keyword not in KEYWORDS:
            return
        args = split_args(text[len(keyword):])
        if keyword == 'CONTROL':
            id_text, cls, style = args[1], args[2].strip('"').lower(), args[3]
            kind = CLASS_KIND.get(cls, cls)
            if kind == 'button' and 'BS_GROUPBOX' in style:
                kind = 'static'
        elif keyword in ('EDITTEXT', 'COMBOBOX', 'LISTBOX', 'SCROLLBAR'):
            id_text, style = args[0], ','.join(args[5:])
            kind = {'EDITTEXT': 'edit', 'COMBOBOX': 'combo', 'LISTBOX': 'listbox', 'SCROLLBAR': 'scrollbar'}[keyword]
        else:
            id_text, style = args[1], ','.join(args[6:])
            kind = 'static' if keyword in TEXT_ONLY else 'button'
        value = evaluate(id_text, symbols)
        if value is None or value < 0:
            return
        current[1].append(Control(current[0], id_text, value, kind, style, path, number))

    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        head = re.match(r'^(\w+)\s+DIALOG(?:EX)?\b', stripped)
        if head:
            current = (head.group(1), [])
            dialogs[head.group(1)] = current[1]
            statement = None
            continue
        if current is None:
            continue
        if stripped == 'END':
            finish()
            current, statement = None, None
            continue
        first = stripped.split(None, 1)[0] if stripped else ''
        first = first.split('(')[0]
        if first in KEYWORDS or first in macros:
            finish()
            statement = (number, stripped)
        elif statement is not None and stripped and stripped != 'BEGIN':
            statement = (statement[0], statement[1] + ' ' + stripped)
    return dialogs


# ----------------------------------------------------------------------------------------------------
# Class regions of a source file

FUNCTION_HEAD = re.compile(r'\b(\w+)::~?\w+\s*\(')
MAP_HEAD = re.compile(r'\bBEGIN_MESSAGE_MAP\s*\(\s*(\w+)')


def class_regions(src):
    """[(class or None, start offset, end offset)]: class member definitions and message maps at file
    level belong to their class; everything else at file level belongs to no class."""
    text, regions = src.text, []
    i, n, depth, stack = 0, len(src.text), 0, []
    owner, owner_start, region_start = None, 0, 0
    line_start = 0
    while i < n:
        c = text[i]
        if c == '\n':
            line_start = i + 1
        if depth == 0 and owner is None and (i == line_start):
            line = text[i:text.find('\n', i) if text.find('\n', i) >= 0 else n]
            m = MAP_HEAD.search(line)
            f = FUNCTION_HEAD.search(line)
            if m or (f and not line.rstrip().endswith(';')):
                if i > region_start:
                    regions.append((None, region_start, i))
                owner, owner_start = (m or f).group(1), i
                if m:
                    end = text.find('END_MESSAGE_MAP', i)
                    end = n if end < 0 else text.find('\n', end)
                    end = n if end < 0 else end
                    regions.append((owner, owner_start, end))
                    owner, region_start, i = None, end, end
                    continue
        if c in '"\'':
            j = i + 1
            while j < n and text[j] != c and text[j] != '\n':
                j += 2 if text[j] == '\\' else 1
            i = j + 1
            continue
        if c == '{':
            back = text[max(0, i - 200):i]
            is_namespace = re.search(r'\bnamespace\b[^;{}()]*$', back) or re.search(r'extern\s+"C"\s*$', back)
            stack.append('ns' if is_namespace else 'blk')
            if not is_namespace:
                depth += 1
        elif c == '}':
            if stack and stack.pop() == 'blk':
                depth -= 1
                if depth == 0 and owner is not None:
                    regions.append((owner, owner_start, i + 1))
                    owner, region_start = None, i + 1
        i += 1
    if owner is not None:
        regions.append((owner, owner_start, n))
    elif region_start < n:
        regions.append((None, region_start, n))
    return regions


class Scope:
    """The code of one dialog: whole files, or the named classes of a file plus its file-level code."""

    def __init__(self, root, places):
        self.parts = []  # (Source, start, end)
        for place in places:
            path, _, classes = place.partition('@')
            src = Source.get(root, path)
            if not classes:
                self.parts.append((src, 0, len(src.text)))
                continue
            wanted = set(classes.split(','))
            for owner, start, end in class_regions(src):
                if owner is None or owner in wanted:
                    self.parts.append((src, start, end))

    def finditer(self, pattern):
        for src, start, end in self.parts:
            for m in pattern.finditer(src.text, start, end):
                yield src, m


# ----------------------------------------------------------------------------------------------------
# Control wiring

BIND_CALL = re.compile(r'\b(DDX_\w+|GetDlgItem\w*|SetDlgItem\w*|SendDlgItemMessage\w*|CheckDlgButton|'
                       r'IsDlgButtonChecked|CheckRadioButton|GetDlgCtrlID|'
                       r'ON_\w+)\s*\(')
ROUTE_MACRO = re.compile(r'^ON_(BN|CBN|EN|LBN|STN|NOTIFY|COMMAND|CONTROL|UPDATE_COMMAND_UI)\w*$')
VALUE_CALL = re.compile(r'^(DDX_(?!Control)\w+|GetDlgItemText\w*|GetDlgItemInt|IsDlgButtonChecked)$')
CASE_OR_COMPARE = re.compile(r'(?:\bcase\s+([^:;]+?)\s*:(?!:)|[=!]=\s*\(?\s*(?:UINT\s*\)\s*)?([A-Za-z_]\w*|\d+)\b)')
LOOP = re.compile(r'for\s*\(\s*(?:const\s+)?(?:int|UINT|unsigned|size_t)\s+(\w+)\s*=\s*([^;]+);\s*\1\s*(<=?)\s*([^;]+);')
MEMBER_READ = re.compile(r'\b(m_\w+)(?:\[[^\]]*\])?\s*(?:\.|->)\s*(GetCheck|GetCurSel|GetPos|GetWindowText\w*|GetLBText|'
                         r'GetNextItem|GetSelectionMark|GetFirstSelectedItemPosition|IsPressed|GetItemState|'
                         r'GetCurFocus|GetSel|GetLine)\s*\(')
SCROLL_ROUTE = re.compile(r'\bON_WM_[HV]SCROLL\s*\(')
COMMAND_OVERRIDE = re.compile(r'\b\w+::OnCommand\s*\(|\b\w+::OnNotify\s*\(')


def loop_values(src, offset, symbols):
    """{variable: [values]} of the for loops that open on the call's line or the line before it."""
    line = src.line_of(offset)
    begin = src.starts[max(0, line - 2)]
    found = {}
    for m in LOOP.finditer(src.text, begin, offset):
        lo = evaluate(m.group(2), symbols)
        hi = evaluate(m.group(4), symbols)
        if lo is None or hi is None:
            continue
        found[m.group(1)] = list(range(lo, hi + (1 if m.group(3) == '<=' else 0)))
    return found


ID_FUNCTION = re.compile(r'\bint\s+(\w+)\s*\(\s*int\s+(\w+)\s*\)\s*(?:const\s*)?\{\s*return\s+([^;]+);\s*\}')


def id_functions(root, paths):
    """{name: (parameter, expression)} of the one-line int functions that compute a control id."""
    found = {}
    for p in paths:
        for m in ID_FUNCTION.finditer(Source.get(root, p).text):
            found[m.group(1)] = (m.group(2), m.group(3))
    return found


def id_values(expr, symbols, loops, functions=None):
    value = evaluate(expr, symbols)
    if value is not None:
        return [value]
    call = re.match(r'^(\w+)\s*\((.*)\)$', expr.strip())
    if call and functions and call.group(1) in functions:
        param, body = functions[call.group(1)]
        for var, values in loops.items():
            if call.group(2).strip() == var:
                results = [evaluate(body, symbols, {param: v}) for v in values]
                if all(r is not None for r in results):
                    return results
    for var, values in loops.items():
        if re.search(r'\b%s\b' % var, expr):
            results = [evaluate(expr, symbols, {var: v}) for v in values]
            if all(r is not None for r in results):
                return results
    return None


def id_arguments(name, args):
    """The argument positions that may hold a control id, and whether two of them make a range."""
    if name.startswith('DDX_'):
        return [1], False
    if name in ('ON_COMMAND_RANGE', 'ON_UPDATE_COMMAND_UI_RANGE'):
        return [0, 1], True
    if name in ('ON_CONTROL_RANGE', 'ON_NOTIFY_RANGE', 'ON_NOTIFY_EX_RANGE'):
        return [1, 2], True
    if name in ('ON_NOTIFY', 'ON_NOTIFY_EX', 'ON_CONTROL'):
        return [1], False
    if name.startswith('ON_'):
        return [0], False
    return [0, 1], False


READ_AFTER = re.compile(r'CB_GETCURSEL|BM_GETCHECK|TBM_GETPOS|WM_GETTEXT|LVM_GETNEXTITEM|GetWindowText|GetCurSel|'
                        r'GetPos\b|GetCheck\b')


def scan_dialog_code(scope, symbols, ids, functions=None, wrappers=()):
    """What the dialog's code does with each control id: {id: set of facts}, and whether some control is
    bound through an id the code computes from data (a table, a function)."""
    facts = {v: set() for v in ids}
    members = {}
    indirect = False
    bind_call = BIND_CALL
    if wrappers:
        bind_call = re.compile(BIND_CALL.pattern[:-6] + '|' + '|'.join(wrappers) + r')\s*\(')
    for src, m in scope.finditer(bind_call):
        name = m.group(1)
        if name.startswith('ON_') and not ROUTE_MACRO.match(name):
            continue
        args, _ = balanced_args(src.text, m.end() - 1)
        positions, is_range = id_arguments(name, args)
        loops = loop_values(src, m.start(), symbols)
        hits = []
        evaluable = False
        for p in positions:
            if p >= len(args):
                continue
            values = id_values(args[p], symbols, loops, functions)
            if values is None:
                continue
            evaluable = True
            hits.append(values)
        if is_range and len(hits) == 2 and len(hits[0]) == 1 and len(hits[1]) == 1:
            hits = [list(range(hits[0][0], hits[1][0] + 1))]
        if name == 'DDX_Control' and not evaluable:
            indirect = True
        for values in hits:
            for v in values:
                if v not in facts:
                    continue
                facts[v].add('bound')
                if name.startswith('ON_'):
                    facts[v].add('route')
                if VALUE_CALL.match(name):
                    facts[v].add('read')
                if (name.startswith('GetDlgItem') or name in wrappers) and \
                        READ_AFTER.search(src.text, m.end(), min(len(src.text), m.end() + 160)):
                    facts[v].add('read')
                if name == 'DDX_Control' and len(args) > 2:
                    members.setdefault(re.sub(r'\[.*$', '', args[2].lstrip('*').strip()), set()).add(v)
    for src, m in scope.finditer(CASE_OR_COMPARE):
        expr = m.group(1) or m.group(2)
        value = evaluate(expr, symbols)
        if value in facts:
            facts[value].update(('bound', 'route'))
    for src, m in scope.finditer(MEMBER_READ):
        for v in members.get(m.group(1), ()):
            facts[v].add('read')
    scroll = any(True for _ in scope.finditer(SCROLL_ROUTE))
    command = any(True for _ in scope.finditer(COMMAND_OVERRIDE))
    if scroll:
        for v, f in facts.items():
            f.add('scroll')
    if command:
        for v, f in facts.items():
            f.add('command')
    return facts, indirect, members


def member_classes(root, decls, members):
    """{control id: class name} of the members that DDX_Control binds, from the declaring headers."""
    types = {}
    for member, ids in members.items():
        pattern = re.compile(r'\b(C\w+)\s+(?:\w+(?:\[\w*\])?\s*,\s*)*%s\s*[;,\[]' % re.escape(member))
        for path in decls:
            m = pattern.search(Source.get(root, path).text)
            if m:
                for v in ids:
                    types[v] = m.group(1)
                break
    return types


SELF_ROUTE = re.compile(r'\bON_(?:CONTROL_REFLECT|NOTIFY_REFLECT)\w*\s*\(\s*(?!NM_CUSTOMDRAW)\w+|\bON_WM_LBUTTON(?:DOWN|UP)\s*\(')


def self_handling_classes(root, dirs):
    """Control classes whose own message map takes the user's input (a reflected notice, a click)."""
    found = set()
    for path in files_under(root, dirs, exts=('.cpp',)):
        src = Source.get(root, path)
        for m in re.finditer(r'BEGIN_MESSAGE_MAP\s*\(\s*(\w+)', src.text):
            end = src.text.find('END_MESSAGE_MAP', m.end())
            if SELF_ROUTE.search(src.text, m.end(), end if end > 0 else len(src.text)):
                found.add(m.group(1))
    return found


def mentioned(scope, control):
    """Whether the control's id appears as a token in the dialog's code."""
    tokens = {str(control.value)}
    if not control.symbol.isdigit():
        tokens.add(control.symbol)
    pattern = re.compile(r'(?<![\w.])(%s)(?![\w.])' % '|'.join(re.escape(t) for t in tokens))
    return any(True for _ in scope.finditer(pattern))


def check_controls(root, config, report):
    self_handled = self_handling_classes(root, getattr(config, 'CONTROL_CLASS_DIRS', ()))
    for module, module_cfg in config.MODULES.items():
        symbols = read_symbols(root, module_cfg['headers'])
        dialogs = {}
        for rc in module_cfg['rc']:
            dialogs.update(read_dialogs(root, rc, symbols))
        scopes = module_cfg['dialogs']
        for dialog, controls in dialogs.items():
            if dialog not in scopes:
                first = controls[0] if controls else None
                report('control', f'{dialog}', first.path if first else module_cfg['rc'][0], first.line if first else 0,
                       'dialog has no code named in the configuration')
                continue
            scope = Scope(root, scopes[dialog])
            decls = [p.split('@')[0] for p in scopes[dialog]] + module_cfg.get('decls', [])
            decls += [re.sub(r'\.cpp$', '.h', p) for p in decls if p.endswith('.cpp') and
                      os.path.isfile(os.path.join(root, re.sub(r'\.cpp$', '.h', p)))]
            checked = [c for c in controls if c.kind != 'static' or 'SS_NOTIFY' in c.style]
            facts, indirect, members = scan_dialog_code(scope, symbols, {c.value for c in checked},
                                                        id_functions(root, decls), module_cfg.get('wrappers', ()))
            classes = member_classes(root, decls, members)
            tables = [t for t in module_cfg.get('tables', ()) if t[0] == dialog]
            if tables:
                # The tables say which controls the dialog's generic scroll and command handlers serve.
                for f in facts.values():
                    f.discard('scroll')
                    f.discard('command')
            for table in tables:
                _, path, pattern, _reason = table
                src = Source.get(root, path)
                found = [int(evaluate(x, symbols) or 0) for x in re.findall(pattern, src.text)]
                if not found:
                    report('control', f'{dialog}/table', path, 1, f'table pattern {pattern!r} matches nothing')
                for v in found:
                    if v in facts:
                        facts[v].update(('bound', 'route'))
            COUNTS['controls'] += len(checked)
            for c in checked:
                if c.symbol in ('IDOK', 'IDCANCEL'):
                    continue  # the dialog base's OnOK and OnCancel take them
                f = facts[c.value]
                if 'bound' not in f and indirect and mentioned(scope, c):
                    f.add('bound')
                    f.add('indirect')
                if 'bound' not in f:
                    report('control', c.name, c.path, c.line, f'{c.kind} is not bound in {dialog}\'s code')
                    continue
                # A tab control or a link whose own class takes the click switches its pages or opens its
                # link itself; buttons, lists and the rest need their dialog's route.
                handled = {'route', 'read'} & f or (c.kind in ('tab', 'static') and classes.get(c.value) in self_handled)
                if c.kind in ('progress', 'listview', 'static') or (c.kind == 'edit' and 'ES_READONLY' in c.style):
                    if c.kind == 'static' and not handled:
                        report('control', c.name, c.path, c.line, 'clickable static has no click route')
                    continue
                if not handled and c.kind == 'trackbar' and 'scroll' in f:
                    handled = True
                if not handled and c.kind in ('button', 'combo', 'edit', 'tab', 'listbox') and 'command' in f \
                        and 'indirect' in f:
                    handled = True
                if not handled:
                    what = {'button': 'no click route and its state is never read',
                            'combo': 'no selection route and its selection is never read',
                            'edit': 'no change route and its text is never read',
                            'trackbar': 'no scroll route and its position is never read',
                            'tab': 'no selection route'}.get(c.kind, 'no handler')
                    report('control', c.name, c.path, c.line, what)


# ----------------------------------------------------------------------------------------------------
# WM_DLG_NOTIFY codes

def notice_family(expr, symbols):
    """The code an expression sends: a constant, or the constant base of 'base + index'."""
    value = evaluate(expr, symbols)
    if value is not None:
        return [value]
    m = re.match(r'^\s*([A-Za-z_]\w*|\d+)\s*\+', expr)
    if m and evaluate(m.group(1), symbols) is not None:
        return [evaluate(m.group(1), symbols)]
    values = [evaluate(t, symbols) for t in re.findall(r'\b(?:k\w+|\d{2,})\b', expr)]
    if '?' in expr and values and all(v is not None for v in values):
        return values
    return []


def check_notices(root, config, report):
    cfg = config.NOTICES
    files = files_under(root, cfg['dirs'])
    symbols = read_symbols(root, files)
    message = cfg['message']
    named = {}
    for path in cfg['enums']:
        src = Source.get(root, path)
        for m in re.finditer(r'\benum\s+%s\b[^{]*\{([^}]*)\}' % cfg['enum'], src.text):
            for e in ENUM_MEMBER.finditer(m.group(1) + '}'):
                named[symbols[e.group(1)]] = (e.group(1), path, src.line_of(m.start(1) + e.start()))
    handled, sent = {}, {}
    for path in files:
        src = Source.get(root, path)
        for m in re.finditer(r'\bON_MESSAGE\s*\(\s*%s\s*,\s*(\w+)\s*\)' % message, src.text):
            body = re.search(r'\b\w+::%s\s*\([^)]*\)\s*\{' % m.group(1), src.text)
            if not body:
                report('notice', m.group(1), path, src.line_of(m.start()), 'handler named in the map is not defined here')
                continue
            _, end = balanced_args(src.text, body.end() - 1)
            for c in CASE_OR_COMPARE.finditer(src.text, body.end(), end):
                value = evaluate(c.group(1) or c.group(2), symbols)
                if value is not None and value >= 0:
                    handled.setdefault(value, (path, src.line_of(c.start())))
            for c in re.finditer(r'>=\s*(\w+)', src.text[body.end():end]):
                value = evaluate(c.group(1), symbols)
                if value is not None:
                    handled.setdefault(value, (path, src.line_of(body.end() + c.start())))
        for m in re.finditer(r'\b(?:::)?(?:Send|Post|SendNotify)\w*Message\w*\s*\(', src.text):
            args, _ = balanced_args(src.text, m.end() - 1)
            for k, a in enumerate(args[:-1]):
                if a == message and k + 1 < len(args):
                    for v in notice_family(args[k + 1], symbols):
                        sent.setdefault(v, (path, src.line_of(m.start())))
        for m in re.finditer(r'(?:\.|->)\s*notify\s*\(', src.text):
            args, _ = balanced_args(src.text, m.end() - 1)
            if args:
                for v in notice_family(args[0], symbols):
                    sent.setdefault(v, (path, src.line_of(m.start())))
        for pattern in cfg.get('code_fields', ()):
            for m in re.finditer(r'\b%s\s*=\s*([^;]+);' % pattern, src.text):
                for v in notice_family(m.group(1), symbols):
                    sent.setdefault(v, (path, src.line_of(m.start())))
    COUNTS['notice codes'] += len(set(named) | set(handled) | set(sent))
    for code in sorted(set(named) | set(handled) | set(sent)):
        DETAILS.append(f'notice {code}: sent {":".join(map(str, sent.get(code, ("-",))))}, '
                       f'handled {":".join(map(str, handled.get(code, ("-",))))}')
        name = named[code][0] if code in named else str(code)
        where = named.get(code, (None,) + (handled.get(code) or sent.get(code)))[1:]
        if code not in sent and code not in handled:
            report('notice', name, where[0], where[1], 'neither sent nor handled')
        elif code not in sent:
            report('notice', name, *handled[code], 'handled but never sent')
        elif code not in handled:
            report('notice', name, *sent[code], 'sent but no handler')


# ----------------------------------------------------------------------------------------------------
# Binders

MACRO_DEFINE = re.compile(r'^[ \t]*#[ \t]*define[ \t]+(\w+)\(([^)]*)\)((?:[^\n]*\\\n)*[^\n]*)', re.M)


def function_macros(root, files):
    """{file: {name: (params, body)}} of the function-like macros each file defines, and all of them."""
    per_file, every = {}, {}
    for path in files:
        src = Source.get(root, path)
        found = {}
        for m in MACRO_DEFINE.finditer(src.text):
            body = re.sub(r'\\\n', ' ', m.group(3)).strip()
            found[m.group(1)] = ([p.strip() for p in m.group(2).split(',') if p.strip()], body)
        per_file[path] = found
        every.update(found)
    return per_file, every


def expand(src, macros):
    """The text with every use of the given function-like macros expanded in place (line count kept)."""
    if not macros:
        return src.text
    pattern = re.compile(r'(?<![\w#])(%s)\s*\(' % '|'.join(re.escape(n) for n in macros))
    out, last = [], 0
    for m in pattern.finditer(src.text):
        if m.start() < last:
            continue
        line_start = src.text.rfind('\n', 0, m.start()) + 1
        if re.match(r'\s*#', src.text[line_start:m.start()]):
            continue
        params, body = macros[m.group(1)]
        args, end = balanced_args(src.text, m.end() - 1)
        if len(args) != len(params) and not (params == [] and args == ['']):
            continue
        for p, a in zip(params, args):
            body = re.sub(r'(?<![\w"])%s(?!\w)' % re.escape(p), lambda _m, a=a: a.replace('\n', ' '), body)
        body = re.sub(r'\s*##\s*', '', body)
        out.append(src.text[last:m.start()])
        out.append(body + '\n' * src.text.count('\n', m.start(), end))
        last = end
    out.append(src.text[last:])
    return ''.join(out)


class ProgramText:
    """The program's files with their macros expanded, and the identifiers each holds."""

    def __init__(self, root, files):
        per_file, every = function_macros(root, files)
        self.files = []
        for path in files:
            src = Source.get(root, path)
            macros = dict(every)
            macros.update(per_file[path])
            used = {n: d for n, d in macros.items() if re.search(r'\b%s\s*\(' % re.escape(n), src.text)}
            text = expand(src, used)
            self.files.append((path, text, set(re.findall(r'\w+', text))))


def program_calls(program, name):
    """(path, line) of the first call or hand-over of name outside declarations, or None."""
    call = re.compile(r'(?<![\w.>])(?:::)?(?:\w+::)*%s\s*\(|(?:[=,({]|return)\s*&?(?:::)?(?:\w+::)*%s\s*[;,)}]'
                      % (re.escape(name), re.escape(name)))
    for path, text, words in program.files:
        if name not in words:
            continue
        for m in call.finditer(text):
            begin = text.rfind('\n', 0, m.start()) + 1
            end = text.find('\n', m.start())
            line_text = text[begin:end if end >= 0 else len(text)]
            if re.search(r'\b%s_fn\b' % re.escape(name), line_text) or line_text.lstrip().startswith('#'):
                continue
            if re.search(r'\b(?:int|void|HMODULE|bool|LRESULT|BOOL)\s+(?:\w+::)*%s\s*\(' % re.escape(name), line_text):
                continue
            return path, text.count('\n', 0, m.start()) + 1
    return None


def read_binder_table(root, path):
    src = Source.get(root, path)
    libraries, current = {}, None
    for m in re.finditer(r'^\s*(LIBRARY|ENTRY)\s*\(\s*(\w+)\s*,\s*(\w+|"[^"]*")', src.text, re.M):
        if m.group(1) == 'LIBRARY':
            current = m.group(2)
            libraries[current] = {'line': src.line_of(m.start()), 'entries': []}
        else:
            libraries[m.group(2)]['entries'].append((m.group(3), src.line_of(m.start())))
    return libraries


def check_binders(root, config, report):
    cfg = config.BINDERS
    files = files_under(root, cfg['dirs'], skip=('tests', 'testing') + tuple(cfg.get('skip', ())))
    files = [f for f in files if not any(f.startswith(x) for x in cfg.get('exclude', ()))]
    table = cfg['table']
    libraries = read_binder_table(root, table)
    program = ProgramText(root, files)
    for lib, info in libraries.items():
        if not program_calls(program, 'load_' + lib):
            report('binder', 'load_' + lib, table, info['line'], 'binder is never called')
        if not program_calls(program, 'unload_' + lib):
            report('binder', 'unload_' + lib, table, info['line'], 'unloader is never called')
        COUNTS['binder entries'] += len(info['entries'])
        for entry, line in info['entries']:
            if not program_calls(program, entry):
                report('binder', f'{lib}.{entry}', table, line, 'bound entry point is never called')
    return libraries, program


# ----------------------------------------------------------------------------------------------------
# INI keys

def enclosing_function(src, offset):
    name = None
    for m in re.finditer(r'^[\w:<>,*& ]*?\b(\w+)\s*\([^;{]*\)\s*(?:const\s*)?\{', src.text[:offset], re.M):
        if m.group(1) not in ('if', 'for', 'while', 'switch'):
            name = m.group(1)
    return name


def check_ini(root, config, report):
    cfg = config.INI
    files = files_under(root, cfg['dirs'])
    loader = Source.get(root, cfg['settings'])
    keys = []  # (key text, variable or constant, line, table)
    for t in re.finditer(r'\bconst\s+IntKey\s+(\w+)\[\]\s*=\s*\{', loader.text):
        _, end = balanced_args(loader.text, t.end() - 1)
        for row in re.finditer(r'\{\s*("[^"]*")\s*,[^{}]*?&(\w+)\s*\}', loader.text[t.end():end]):
            keys.append((row.group(1), row.group(2), loader.line_of(t.end() + row.start()), t.group(1)))
    for c in re.finditer(r'\bconst\s+char\s*\*\s*const\s+(k\w+Key)\s*=\s*("[^"]*")\s*;', loader.text):
        keys.append((c.group(2), c.group(1), loader.line_of(c.start()), None))
    others = ProgramText(root, [f for f in files if f != cfg['settings']])
    loaded_tables = set(re.findall(r'\bload_ranges\s*\(\s*\w+\s*,\s*(\w+)\s*\)', loader.text))
    saved_vars = {}
    for path in files:
        src = Source.get(root, path)
        for m in re.finditer(r'for\s*\(\s*int\s*\*\s*(\w+)\s*:\s*\{([^}]*)\}\s*\)\s*([^;]*;)', src.text):
            if 'settings_key_of(%s)' % m.group(1) in m.group(3) and 'save_setting' in m.group(3):
                fn = enclosing_function(src, m.start())
                if fn and fn.startswith(('load', 'check')):
                    continue
                for v in re.findall(r'&(\w+)', m.group(2)):
                    saved_vars.setdefault(v, (path, src.line_of(m.start())))
    COUNTS['ini keys'] += len(keys)
    for text, name, line, table in keys:
        if table is not None:
            read = table in loaded_tables
            written = name in saved_vars
        else:
            read = bool(re.search(r'(?:\.read\s*\(|read_int\s*\(\s*\w+\s*,)\s*%s\b' % name, loader.text))
            written = False
            for path in files:
                src = Source.get(root, path)
                for m in re.finditer(r'(?:\.write\s*\(|save_setting\s*\(\s*\w+\s*,)\s*%s\b' % name, src.text):
                    fn = enclosing_function(src, m.start())
                    if fn and fn.startswith(('load', 'check')):
                        continue
                    if path == cfg['settings'] and fn and not program_calls(others, fn):
                        continue
                    written = True
        label = f'{text.strip(chr(34))} ({name})'
        if not read and not written:
            report('ini', label, cfg['settings'], line, 'neither read nor written')
        elif not read:
            report('ini', label, cfg['settings'], line, 'written but never read')
        elif not written:
            report('ini', label, cfg['settings'], line, 'read but never written by a save')


# ----------------------------------------------------------------------------------------------------
# Exports

def host_calls(root, hosts, spec_exports):
    """{export name: (path, line)} of the exports a host binds (by name or ordinal) and then calls."""
    by_ordinal = {o: n for n, (o, _) in spec_exports.items()}
    called, members = {}, {}
    for path in hosts:
        src = Source.get(root, path)
        for m in re.finditer(r'\bbind\s*\(', src.text):
            args, _ = balanced_args(src.text, m.end() - 1)
            if len(args) < 2:
                continue
            member = re.sub(r'^.*[.>]', '', args[-2]).strip()
            last = args[-1].strip()
            if last.startswith('"') and last.strip('"') in spec_exports:
                members[member] = last.strip('"')
            elif last.isdigit() and int(last) in by_ordinal:
                members[member] = by_ordinal[int(last)]
        for m in re.finditer(r'\b(\w+)\s*=\s*[^;=]*?"(\w+)"\s*\)\s*;', src.text):
            if m.group(2) in spec_exports:
                members[m.group(1)] = m.group(2)
    for path in hosts:
        src = Source.get(root, path)
        for export in spec_exports:
            for c in re.finditer(r'(?<![\w"])(?:\w+::)?%s\s*\(|"%s"\s*\)\s*\(' % (export, export), src.text):
                called.setdefault(export, (path, src.line_of(c.start())))
                break
        for member, export in members.items():
            for c in re.finditer(r'(?:\.|->|(?<![\w.>]))\s*%s\s*\(' % re.escape(member), src.text):
                line = src.text[src.starts[src.line_of(c.start()) - 1]:c.start()]
                if re.search(r'\bbind\s*\(|\w\s+$', line):
                    continue
                called.setdefault(export, (path, src.line_of(c.start())))
                break
    return called


def check_exports(root, config, report, binder_state):
    libraries, program = binder_state if binder_state else ({}, None)
    for lib, cfg in config.EXPORTS.items():
        src = Source.get(root, cfg['exports_file'])
        exports = {}
        for m in re.finditer(r'^\s*(\d+)\s+\w+\s+(\w+)\s*\(', src.text, re.M):
            exports[m.group(2)] = (int(m.group(1)), src.line_of(m.start()))
        bound = {e for e, _ in libraries.get(cfg.get('binder_library'), {}).get('entries', [])}
        hosts = host_calls(root, [h for h in cfg['hosts']], exports)
        COUNTS['exports'] += len(exports)
        for name, (ordinal, line) in exports.items():
            if name in bound and program and program_calls(program, name):
                continue
            if name in hosts:
                continue
            who = 'the program\'s binder or a host' if cfg.get('binder_library') else 'its host'
            report('export', f'{lib}.{name}', cfg['exports_file'], line, f'export has no caller in {who}')


# ----------------------------------------------------------------------------------------------------

COUNTS = {}
DETAILS = []  # what the checks saw, for --list


def load_config(path):
    found = importlib.util.spec_from_file_location('wiring_config', path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def run(root, config, out=sys.stdout, quiet=False, details=False):
    """Prints the findings; returns (findings not allowed, allowed findings)."""
    findings = []
    COUNTS.clear()
    DETAILS.clear()
    COUNTS.update({'controls': 0, 'notice codes': 0, 'binder entries': 0, 'ini keys': 0, 'exports': 0})

    def report(kind, name, path, line, what):
        findings.append((kind, name, path, line, what))

    if hasattr(config, 'MODULES'):
        check_controls(root, config, report)
    if hasattr(config, 'NOTICES'):
        check_notices(root, config, report)
    binder_state = check_binders(root, config, report) if hasattr(config, 'BINDERS') else None
    if hasattr(config, 'INI'):
        check_ini(root, config, report)
    if hasattr(config, 'EXPORTS'):
        check_exports(root, config, report, binder_state)
    allow = dict(getattr(config, 'ALLOW', {}))
    failing, allowed, used = [], [], set()
    for f in findings:
        key = (f[0], f[1])
        if key in allow:
            used.add(key)
            allowed.append(f)
        else:
            failing.append(f)
    for key in allow:
        if key not in used:
            failing.append((key[0], key[1], os.path.basename(getattr(config, '__file__', 'config')), 0,
                            'allow-list entry matches no finding'))
    if details:
        print('\n'.join(DETAILS), file=out)
    for f in failing:
        print(f'{f[0]:8} {f[1]}  {f[2]}:{f[3]}  {f[4]}', file=out)
    if not quiet:
        for f in allowed:
            print(f'allowed  {f[0]:8} {f[1]}  {f[2]}:{f[3]}  {f[4]}  -- {allow[(f[0], f[1])]}', file=out)
        print('checked ' + ', '.join(f'{n} {k}' for k, n in COUNTS.items()), file=out)
        print(f'{len(failing)} finding(s), {len(allowed)} allowed', file=out)
    return failing, allowed


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--root', default=os.path.dirname(here))
    parser.add_argument('--config', default=os.path.join(here, 'wiring_config.py'))
    parser.add_argument('--quiet', action='store_true', help='print only the findings that fail')
    parser.add_argument('--list', action='store_true', help='also print every notice code with its sender and handler')
    a = parser.parse_args()
    failing, _ = run(a.root, load_config(a.config), quiet=a.quiet, details=a.list)
    return 1 if failing else 0


if __name__ == '__main__':
    sys.exit(main())
