#!/usr/bin/env python3
"""Writes olumbra's window resources: the dialog script soundfx/res/olumbra.rc (the effects window,
its six pages and the preset-name dialog), the icons and the chain list's row images. Run once; the
results are kept in the tree."""
import os, struct, sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_skin_bitmaps import write_ico  # noqa: E402

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
out = os.path.join(root, 'soundfx', 'res')

# ---- icons: a rounded tile in a colour with a small symbol, 32x32 and 16x16, 24-bit with mask ----

def symbol_pixels(kind, size):
    s = size / 32.0
    def inside(x, y):
        X, Y = x / s, y / s
        if kind == 'wave':  return abs(Y - 16 - 7 * __import__('math').sin(X / 4.0)) < 2.2 and 5 < X < 27
        if kind == 'bars':  return any(abs(X - c) < 2 and Y > 26 - h for c, h in ((8, 10), (13, 18), (18, 14), (23, 20)))
        if kind == 'knob':  return 30 < (X - 16) ** 2 + (Y - 16) ** 2 < 90 or (abs(X - 16) < 1.5 and 7 < Y < 16)
        if kind == 'info':  return (abs(X - 16) < 2 and 13 < Y < 26) or (X - 16) ** 2 + (Y - 8) ** 2 < 5
        if kind == 'disk':  return (6 < X < 26 and 6 < Y < 26) and not (10 < X < 22 and 6 < Y < 13)
        if kind == 'back':  return abs(Y - 16) < 2 and 7 < X < 25 or (abs(Y - 16) < X - 6 < 8 and X < 16 and abs(Y - 16) > abs(X - 14) - 2 and X < 13)
        if kind == 'cross': return 7 < X < 25 and 7 < Y < 25 and (abs(X - Y) < 2.2 or abs(X + Y - 32) < 2.2)
        if kind == 'tick':  return (abs(Y - (X + 8)) < 2.2 and 7 < X < 14) or (abs(Y - (34 - X)) < 2.2 and 13 <= X < 26)
        if kind == 'ring':  return 36 < (X - 16) ** 2 + (Y - 16) ** 2 < 100
        if kind == 'up':    return 7 < Y < 26 and abs(X - 16) < (Y - 6) / 1.6
        if kind == 'down':  return 6 < Y < 25 and abs(X - 16) < (26 - Y) / 1.6
        if kind == 'play':  return 8 < X < 25 and abs(Y - 16) < (25 - X) / 1.6
        if kind == 'stop':  return 9 < X < 23 and 9 < Y < 23
        if kind == 'open':  return (5 < X < 27 and 12 < Y < 25) or (5 < X < 14 and 9 < Y < 13)
        if kind == 'reset': return 36 < (X - 16) ** 2 + (Y - 16) ** 2 < 100 and not (X > 16 and Y < 16)
        if kind == 'note':  return (X - 12) ** 2 + (Y - 23) ** 2 < 12 or (abs(X - 15) < 1.2 and 7 < Y < 23) or (15 < X < 23 and 7 < Y < 10)
        return False
    return inside

def icon_image(size, colour, kind):
    r = size // 6
    inside_symbol = symbol_pixels(kind, size)
    px = []
    for y in range(size):
        row = []
        for x in range(size):
            cx = min(max(x, r), size - 1 - r); cy = min(max(y, r), size - 1 - r)
            if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
                row.append(None); continue
            k = 0.75 + 0.35 * (size - y) / size
            col = tuple(min(255, int(c * k)) for c in colour)
            if inside_symbol(x, y): col = (255, 255, 255)
            row.append(col)
        px.append(row)
    return px

def write_icon(path, colour, kind):
    write_ico(path, [(size, icon_image(size, colour, kind)) for size in (32, 16)])

ICONS = [  # id, file, colour, symbol
    (3001, 'window', (30, 120, 200), 'note'),
    (3002, 'bands_in', (200, 120, 20), 'bars'), (3003, 'bands_out', (90, 90, 110), 'bars'),
    (3011, 'delete', (200, 50, 40), 'cross'), (3012, 'save', (40, 140, 60), 'disk'),
    (3014, 'tab_eq', (40, 160, 90), 'bars'), (3015, 'tab_fx1', (200, 90, 30), 'wave'),
    (3017, 'ok', (40, 140, 60), 'disk'), (3018, 'close', (180, 60, 40), 'back'),
    (3019, 'check_in', (30, 170, 60), 'tick'), (3020, 'check_out', (150, 150, 160), 'ring'),
    (3024, 'about', (60, 90, 200), 'info'), (3025, 'tab_fx2', (170, 50, 160), 'wave'),
    (3026, 'tab_fx3', (30, 150, 170), 'wave'), (3027, 'up', (60, 120, 200), 'up'),
    (3028, 'down', (60, 120, 200), 'down'), (3029, 'default', (200, 150, 20), 'reset'),
    (3031, 'tab_chain', (200, 60, 60), 'knob'), (3032, 'host_save', (40, 140, 60), 'disk'),
    (3033, 'host_load', (200, 150, 30), 'open'), (3034, 'host_play', (40, 160, 80), 'play'),
    (3035, 'host_stop', (190, 50, 40), 'stop'),
]

def row_images(path):
    """Bitmap 3050: two 16x16 row images (on, off) on the mask colour 0xFF00FF, 24-bit."""
    w, h = 32, 16
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            X, Y = x % 16, y
            on = x < 16
            col = (255, 0, 255)
            if (X - 7.5) ** 2 + (Y - 7.5) ** 2 < 49:
                col = (30, 190, 60) if on else (200, 50, 40)
                if on and ((abs(Y - (X + 3)) < 1.3 and 3 < X < 7) or (abs(Y - (17 - X)) < 1.3 and 6 <= X < 12)):
                    col = (255, 255, 255)
                if not on and 4 < X < 11 and 4 < Y < 11 and (abs(X - Y) < 1.2 or abs(X + Y - 15) < 1.2):
                    col = (255, 255, 255)
            row.append(col)
        rows.append(row)
    stride = (w * 3 + 3) & ~3
    pixels = b''
    for row in reversed(rows):
        line = b''.join(bytes((c[2], c[1], c[0])) for c in row)
        pixels += line + b'\0' * (stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    open(path, 'wb').write(struct.pack('<2sIHHI', b'BM', 14 + 40 + len(pixels), 0, 0, 54) + header + pixels)

# ---- dialogs ----

SLIDER = 'CONTROL "", {id}, "msctls_trackbar32", TBS_BOTH | TBS_NOTICKS | TBS_ENABLESELRANGE | WS_TABSTOP, {x}, {y}, {w}, {h}'
VSLIDER = ('CONTROL "", {id}, "msctls_trackbar32", TBS_VERT | TBS_BOTH | TBS_NOTICKS | TBS_ENABLESELRANGE | '
           'WS_DISABLED | NOT WS_VISIBLE, {x}, {y}, {w}, {h}')
GROUP = 'GROUPBOX "{text}", {id}, {x}, {y}, {w}, {h}, BS_FLAT, WS_EX_CLIENTEDGE'
LABEL = 'LTEXT "{text}", {id}, {x}, {y}, {w}, {h}'
BUTTON = 'PUSHBUTTON "{text}", {id}, {x}, {y}, {w}, {h}'
CHECK = 'CONTROL "{text}", {id}, "Button", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP, {x}, {y}, {w}, {h}'

def group(lines, gid, title, x, y, w, h, rows, default_id):
    """A group box with its rows (label id, text, slider id [, left end label, right end label]) and
    its default button at the top right."""
    lines.append(GROUP.format(text=title, id=gid, x=x, y=y, w=w, h=h))
    lines.append(BUTTON.format(text='缺省', id=default_id, x=x + w - 26, y=y + 1, w=24, h=9))
    step = (h - 12) // max(1, len(rows))
    for i, r in enumerate(rows):
        ry = y + 11 + i * step
        if r[2] is None:  # a combo box row
            lines.append(LABEL.format(text=r[1], id=r[0], x=x + 4, y=ry + 1, w=32, h=8))
            lines.append('COMBOBOX {id}, {x}, {y}, {w}, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP'.format(
                id=r[3], x=x + 38, y=ry - 1, w=w - 44))
            continue
        lines.append(LABEL.format(text=r[1], id=r[0], x=x + 4, y=ry + 1, w=32, h=8))
        if len(r) > 3:
            lines.append(LABEL.format(text=r[3][1], id=r[3][0], x=x + 36, y=ry + 1, w=10, h=8))
            lines.append(SLIDER.format(id=r[2], x=x + 46, y=ry, w=w - 70, h=10))
            lines.append(LABEL.format(text=r[4][1], id=r[4][0], x=x + w - 22, y=ry + 1, w=18, h=8))
        else:
            lines.append(SLIDER.format(id=r[2], x=x + 36, y=ry, w=w - 40, h=10))

def dialog(name_id, w, h, body, child=True, caption=None, style=None, exstyle=None):
    st = style or ('WS_CHILD | DS_SETFONT | DS_CONTROL' if child else 'DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT')
    head = ['%d DIALOGEX 0, 0, %d, %d' % (name_id, w, h), 'STYLE ' + st]
    if exstyle: head.append('EXSTYLE ' + exstyle)
    if caption: head.append('CAPTION "%s"' % caption)
    head += ['FONT 9, "宋体"', 'BEGIN']
    return '\n'.join(head + ['    ' + l for l in body] + ['END', ''])

def page1():
    L = []
    group(L, 3088, '回响效果器调整', 2, 2, 132, 40, [(3089, '增益', 3005, (3090, '小'), (3091, '大')),
                                                  (3092, '延时', 3068, (3093, '0秒'), (3097, '2秒'))], 3084)
    group(L, 3094, '音调变化器调整', 138, 2, 132, 40, [(3095, '频率', 3010), (3096, '深度', 3025)], 3085)
    group(L, 3042, '飘忽效果器调整', 2, 44, 132, 66, [(3044, '再发生', 3006), (3046, '深度', 3007), (3048, '频率', 3012),
                                                  (3050, '湿声', 3020), (3052, '干声', 3021)], 3082)
    group(L, 3062, '合唱效果器调整', 138, 44, 132, 66, [(3064, '再发生', 3014), (3066, '深度', 3015), (3098, '频率', 3016),
                                                   (3099, '湿声', 3022), (3100, '干声', 3023)], 3083)
    group(L, 3101, '移相效果器调整', 2, 112, 132, 66, [(3102, '最小频率', 3008), (3103, '最大频率', 3013), (3104, '速率', 3009),
                                                   (3105, '增益', 3011), (3106, '反馈', 3024)], 3086)
    group(L, 3107, '调幅效果器调整', 138, 112, 132, 66, [(3108, '调幅类别', None, 3081), (3109, '增益', 3017),
                                                    (3110, '深度', 3018), (3111, '频率', 3019)], 3087)
    return dialog(3004, 272, 180, L)

def page2():
    L = []
    group(L, 3112, '压缩效果器调整', 2, 2, 132, 56, [(3113, '阀值', 3014), (3114, '比率', 3015), (3115, '触发', 3023),
                                                 (3116, '释放', 3024)], 3085)
    group(L, 3117, '混响效果器调整', 138, 2, 132, 76, [(3118, '增益', 3016), (3119, '反馈', 3018), (3120, '深度', 3017),
                                                  (3121, '预延', 3030), (3122, '反馈时长', 3031), (3123, '衰减时长', 3032)], 3086)
    group(L, 3124, '过载效果器调整', 2, 60, 132, 44, [(3125, '灵敏', 3019), (3126, '低通频率', 3020)], 3087)
    L.append(CHECK.format(text='低通有效', id=3069, x=2 + 132 - 60, y=61, w=32, h=9))
    group(L, 3127, '失真效果器调整', 2, 106, 132, 72, [(3128, '强度', 3021), (3129, '驱动', 3035), (3130, '低通频率', 3022),
                                                   (3131, '噪音频率', 3033), (3132, '灵敏', 3034)], 3088)
    group(L, 3133, '降噪效果器调整', 138, 80, 132, 98, [(3134, '滞后', 3025), (3135, '阀值', 3029), (3136, '释放时间', 3027),
                                                   (3137, '起音时间', 3028), (3138, '保持时间', 3026)], 3089)
    return dialog(3022, 272, 180, L)

def page3():
    L = []
    group(L, 3139, 'WaWa效果音调整', 2, 2, 268, 66, [(3140, '频率', 3068), (3141, '偏移', 3069), (3142, '深度', 3070),
                                                 (3143, '反馈', 3071)], 3082)
    group(L, 3144, '超重音调整', 2, 72, 268, 40, [(3145, '频率', 3072), (3146, '增益', 3073)], 3083)
    group(L, 3147, '颤音调整', 2, 116, 268, 40, [(3148, '频率', 3074), (3149, '增益', 3075)], 3084)
    return dialog(3030, 272, 187, L)

def equaliser():
    L = [CHECK.format(text='10频段', id=3069, x=4, y=3, w=36, h=14),
         CHECK.format(text='15频段', id=3070, x=42, y=3, w=36, h=14),
         CHECK.format(text='25频段', id=3071, x=80, y=3, w=36, h=14).replace('WS_TABSTOP', 'WS_TABSTOP | WS_DISABLED'),
         CHECK.format(text='31频段', id=3072, x=118, y=3, w=36, h=14).replace('WS_TABSTOP', 'WS_TABSTOP | WS_DISABLED'),
         CHECK.format(text='调谐联动', id=3084, x=170, y=3, w=48, h=14),
         CHECK.format(text='二级调整', id=3073, x=220, y=3, w=48, h=14),
         LABEL.format(text='', id=3003, x=4, y=20, w=264, h=138).replace('LTEXT', 'LTEXT') ]
    L[1] = L[1].replace('WS_TABSTOP', 'WS_TABSTOP | WS_DISABLED')
    for k, (x, t) in enumerate(zip((0, 0, 0, 0, 0, 0), ('-20', '0', '+20', '-20', '00', '+20'))):
        L.append(LABEL.format(text=t, id=3075 + k, x=6, y=24 + 10 * k, w=14, h=8))
    L.append(VSLIDER.format(id=3068, x=26, y=30, w=12, h=52).replace('WS_DISABLED', 'WS_DISABLED'))
    L.append(LABEL.format(text='', id=3004, x=22, y=84, w=20, h=8))
    for k in range(1, 31):
        L.append(VSLIDER.format(id=3003 + 2 * k, x=26 + 8 * k, y=30, w=12, h=52))
        L.append(LABEL.format(text='', id=3004 + 2 * k, x=22 + 8 * k, y=84, w=20, h=8))
    L += [LABEL.format(text='预增益', id=3095, x=4, y=164, w=26, h=8),
          SLIDER.format(id=3087, x=30, y=162, w=70, h=12),
          'COMBOBOX 3081, 104, 161, 104, 90, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP',
          BUTTON.format(text='保存', id=3082, x=212, y=160, w=27, h=15),
          BUTTON.format(text='删除', id=3083, x=242, y=160, w=27, h=15)]
    return dialog(3001, 272, 180, L)

def chain():
    L = [LABEL.format(text='Orvane音效器音效控制开关', id=3004, x=0, y=0, w=272, h=14),
         'GROUPBOX "", 3150, 2, 15, 268, 70']
    grid = [(3070, '图形均衡器'), (3069, '回响效果器'), (3071, '飘忽效果器'), (3072, '压缩效果器'),
            (3073, '音调变化器'), (3074, '移相效果器'), (3075, '合唱效果器'), (3076, '调幅效果器'),
            (3077, '混响效果器'), (3078, '降噪效果器'), (3079, '过载效果器'), (3080, '失真效果器'),
            (3081, 'WaWa效果器'), (3084, '超重低音器'), (3085, '取反效果器'), (3087, '颤音效果器')]
    for i, (cid, text) in enumerate(grid):
        L.append(CHECK.format(text=text, id=cid, x=6 + (i % 4) * 66, y=22 + (i // 4) * 15, w=62, h=13))
    L += [LABEL.format(text='', id=3005, x=2, y=86, w=268, h=3),
          'GROUPBOX "顺序调整", 3151, 2, 90, 196, 88',
          'CONTROL "", 3086, "SysListView32", LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP, 6, 100, 188, 74',
          'GROUPBOX "", 3012, 202, 90, 68, 88',
          BUTTON.format(text='上移', id=3082, x=208, y=98, w=56, h=14),
          BUTTON.format(text='下移', id=3083, x=208, y=114, w=56, h=14),
          BUTTON.format(text='载入', id=3088, x=208, y=132, w=27, h=14).replace('"载入", 3088', '"载入", 3088'),
          BUTTON.format(text='保存', id=3089, x=237, y=132, w=27, h=14),
          BUTTON.format(text='播放', id=3090, x=208, y=150, w=27, h=14),
          BUTTON.format(text='停止', id=3091, x=237, y=150, w=27, h=14)]
    return dialog(3021, 272, 180, L)

def about():
    L = ['ICON 3024, 3024, 10, 12, 21, 20',
         LABEL.format(text='Orvane音效器', id=3004, x=40, y=12, w=220, h=16),
         LABEL.format(text='十六种音效，图形均衡器与音效链', id=3006, x=40, y=36, w=220, h=24),
         LABEL.format(text='本音效器随Orvane多媒体转换器提供', id=3008, x=40, y=66, w=220, h=24),
         LABEL.format(text='Orvane主页', id=3084, x=40, y=100, w=120, h=10),
         LABEL.format(text='联系我们', id=3085, x=40, y=116, w=120, h=10),
         BUTTON.format(text='关闭', id=3082, x=200, y=150, w=60, h=18)]
    return dialog(3023, 272, 180, L)

def window():
    L = ['CONTROL "", 3000, "SysTabControl32", WS_TABSTOP, 4, 4, 280, 226',
         'CONTROL "", 3152, "Static", SS_BLACKFRAME, 4, 234, 280, 30']
    # Topmost from its creation: a window made topmost while hidden does not stay so under Wine.
    return dialog(3000, 288, 268, L, style='WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT', caption='Orvane音效器',
                  exstyle='WS_EX_TOPMOST')

def save_dialog():
    L = [LABEL.format(text='保存名称', id=3004, x=8, y=12, w=36, h=10),
         'EDITTEXT 3083, 46, 10, 126, 13, ES_AUTOHSCROLL',
         BUTTON.format(text='保存', id=3082, x=60, y=32, w=50, h=16),
         BUTTON.format(text='返回', id=3084, x=118, y=32, w=50, h=16)]
    return dialog(3016, 180, 54, L, child=False, caption='音效模式保存')

def main():
    for cid, name, colour, kind in ICONS:
        write_icon(os.path.join(out, 'olumbra_%s.ico' % name), colour, kind)
    row_images(os.path.join(out, 'olumbra_rows.bmp'))
    rc = ['// olumbra\'s window: the effects window, its pages, the preset-name dialog, icons and row images.',
          '// Written by tools/make_olumbra_res.py.', '#pragma code_page(65001)', '#include <windows.h>',
          '#include <commctrl.h>', '#include "soundfx/res/olumbra_skin.rc"', '',
          'LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED', '']
    for cid, name, colour, kind in ICONS:
        rc.append('%d ICON "soundfx/res/olumbra_%s.ico"' % (cid, name))
    rc += ['3050 BITMAP "soundfx/res/olumbra_rows.bmp"', '']
    rc += [window(), equaliser(), page1(), save_dialog(), chain(), page2(), about(), page3()]
    open(os.path.join(out, 'olumbra.rc'), 'w', encoding='utf-8').write('\n'.join(rc))

if __name__ == '__main__':
    main()
