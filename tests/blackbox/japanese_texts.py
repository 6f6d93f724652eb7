#!/usr/bin/python3
"""Opens each dialog of the running program in turn through its menus and reads every text of
it from the accessibility tree; fails on an English word that is not a name.
  usage: japanese_texts.py CLICK_COMMAND
CLICK_COMMAND X Y clicks at a place of the main frame's client area (the file tree is drawn
by the program and has no accessible rows, so its rows are chosen by a click)."""
import re
import subprocess
import sys
import time

import pyatspi

# Names and words that stay as they are in the Japanese interface: the program's name and
# its version line, the package type names, the sample parts, units, and the OK button and
# Esc key as Japanese programs name them.
NAMES = {
    "Zentrik", "Du", "V", "Version", "QFP", "SOP", "PBGA", "FCBGA", "TO", "SOT", "Sample",
    "DELPHI", "OK", "ESC", "Esc", "mm", "W", "m", "K", "XML", "cab", "qvx",
}
WINDOW_ROLES = (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT, pyatspi.ROLE_FRAME,
                pyatspi.ROLE_WINDOW, pyatspi.ROLE_FILE_CHOOSER)
click_command = sys.argv[1:]
failures = 0


def wait(condition, what, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        try:
            value = condition()
        except Exception:  # the tree changes while it is read
            value = None
        if value:
            return value
        time.sleep(0.1)
    raise SystemExit("timed out waiting for " + what)


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Zentrik_Du64":
            return app
    return None


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def windows():
    app = program()
    if app is None:
        return []
    return [w for w in app if w is not None and w.getRole() in WINDOW_ROLES and showing(w)]


def descendants(acc):
    yield acc
    for child in acc:
        if child is not None:
            yield from descendants(child)


def texts(window):
    """Every name, description and text content under `window`."""
    found = []
    for acc in descendants(window):
        found += [acc.name, acc.description]
        try:
            text = acc.queryText()
            found.append(text.getText(0, -1))
        except NotImplementedError:
            pass
    return [t for t in found if t]


def english_words(text):
    # Paths, file names and part names are the user's own names.
    text = re.sub(r"\S*/\S*|\S+\.qvx|\S+_Sample_\d+|Zentrik_Du64", " ", text)
    return [w for w in re.findall(r"[A-Za-z]+", text) if w not in NAMES]


def menu_item(path):
    """The menu bar's item reached by the names in `path`, mnemonics left out."""
    frame = wait(lambda: next((w for w in windows() if w.name == "Zentrik"), None), "the frame")
    current = next(a for a in descendants(frame) if a.getRole() == pyatspi.ROLE_MENU_BAR)
    for name in path:
        current = next(c for c in current if c is not None and c.name.startswith(name))
    return current


def click_action(acc):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("click", "press", "activate"):
            action.doAction(i)
            return
    action.doAction(0)


def new_window(before):
    known = {(w.name, w.getRole()) for w in before}
    return wait(lambda: next((w for w in windows() if (w.name, w.getRole()) not in known), None),
                "a new window")


def check(what, open_it, close_with, inside=None):
    """Opens a window with `open_it`, checks its texts, runs `inside` on it, and closes it with
    the first button whose name is one of `close_with`."""
    global failures
    before = windows()
    open_it()
    window = new_window(before)
    time.sleep(0.5)  # its contents are filled in once it is shown
    words = sorted({w for t in texts(window) for w in english_words(t)})
    if words:
        failures += 1
        print("FAIL - %s shows English words: %s" % (what, " ".join(words)))
        for t in texts(window):
            print("       | " + t.replace("\n", " "))
    else:
        print("ok   - %s shows no English word" % what)
    if inside is not None:
        inside(window)
    buttons = [a for a in descendants(window) if a.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    button = next((b for name in close_with for b in buttons if b.name == name), None)
    if button is None:
        raise SystemExit("%s has none of the buttons %s" % (what, close_with))
    click_action(button)
    wait(lambda: len(windows()) <= len(before), "%s to close" % what)
    return window


def menu(*path):
    return lambda: click_action(menu_item(path))


def click_tree(x, y):
    subprocess.run(click_command + [str(x), str(y)], check=True)
    time.sleep(0.5)


wait(program, "the program in the accessibility tree", 60)
wait(lambda: any(w.name == "Zentrik" for w in windows()), "the main frame")
time.sleep(1)

check("the about box", menu("ヘルプ", "バージョン情報"), ["OK"])
check("the New Part dialog", menu("ファイル", "新規部品"), ["キャンセル"])
check("the program configuration sheet", menu("オプション", "プログラムの設定"), ["キャンセル"])
def named_button(window, name):
    return lambda: click_action(next(a for a in descendants(window)
                                     if a.getRole() == pyatspi.ROLE_PUSH_BUTTON
                                     and a.name == name))


def export_dialogs(window):
    check("the modeling type dialog", named_button(window, "モデル化の一括設定"), ["キャンセル"])
    check("the export folder chooser", named_button(window, "..."), ["キャンセル"])


check("the Export dialog", menu("ファイル", "エクスポート"), ["閉じる", "キャンセル"], export_dialogs)
click_tree(68, 76)  # the QFP folder, the file tree's first row
check("the New Folder dialog", menu("ファイル", "新規フォルダー"), ["キャンセル"])
click_tree(109, 99)  # QFP_Sample_1, the second row
check("the delete question", menu("ファイル", "削除"), ["いいえ"])


def refused_rename():
    click_action(menu_item(["ファイル", "名前の変更"]))
    editor = wait(lambda: next(a for w in windows() for a in descendants(w)
                               if a.getRole() == pyatspi.ROLE_TEXT
                               and a.getState().contains(pyatspi.STATE_EDITABLE)
                               and a.getState().contains(pyatspi.STATE_FOCUSED)), "the editor")
    editor.queryEditableText().setTextContents("_x")
    key("Return")


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


check("the refused name", refused_rename, ["OK"])
key("Escape")  # the editor is back for a correction

if failures:
    print("%d window(s) show English words" % failures)
    sys.exit(1)
print("all windows checked")
