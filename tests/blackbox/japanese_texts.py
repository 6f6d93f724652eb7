#!/usr/bin/python3
"""Opens each dialog of the running program in turn through its menus and reads every text of
it from the accessibility tree; fails on an English word that is not a name.
  usage: japanese_texts.py FRAME_WINDOW CLICK_COMMAND
CLICK_COMMAND X Y clicks at a place of the main frame's client area (the file tree is drawn
by the program and has no accessible rows, so its rows are chosen by a click)."""
import re
import subprocess
import sys
import time

import pyatspi

# Names and words that stay as they are in the Japanese interface: the program's name and
# its version line, the package type names, the sample parts, units, axes, and the OK button
# and Esc key as Japanese programs name them.
NAMES = {
    "Zentrik", "Du", "V", "Version", "QFP", "SOP", "PBGA", "FCBGA", "TO", "SOT", "Sample",
    "DELPHI", "OK", "ESC", "Esc", "mm", "W", "m", "K", "XML", "cab", "qvx", "X", "Y", "Z",
}
WINDOW_ROLES = (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT, pyatspi.ROLE_FRAME,
                pyatspi.ROLE_WINDOW, pyatspi.ROLE_FILE_CHOOSER)
frame_id = sys.argv[1]
click_command = sys.argv[2:]
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
    shown = ", ".join("%s (%s)" % (w.name, w.getRoleName()) for w in windows())
    raise SystemExit("timed out waiting for %s; windows shown: %s" % (what, shown))


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


# Roles whose name is drawn on the screen; other names (GTK's names of its inner boxes, such as
# "Places" or "File Chooser Widget") are never shown.
SHOWN_NAME_ROLES = (
    pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT, pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW,
    pyatspi.ROLE_LABEL, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON,
    pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_MENU_ITEM,
    pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_TABLE_COLUMN_HEADER, pyatspi.ROLE_COLUMN_HEADER,
    pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_COMBO_BOX,
    pyatspi.ROLE_TOOL_TIP, pyatspi.ROLE_STATUS_BAR, pyatspi.ROLE_HEADING)


def texts(window):
    """Every drawn name and every text content under `window`, hidden pages included."""
    found = []
    for acc in descendants(window):
        if acc.getRole() in SHOWN_NAME_ROLES:
            found.append(acc.name)
        try:
            found.append(acc.queryText().getText(0, -1))
        except NotImplementedError:
            pass
    return [t for t in found if t]


def plain(label):
    """A label without its access key in parentheses, "OK(O)" giving "OK"."""
    return re.sub(r"\([_&]?[A-Za-z]\)", "", label)


def english_words(text, folders):
    # Paths, file and folder names and part names are the user's own names.
    text = re.sub(r"\S*/\S*|\S+\.qvx|\w*_\w*", " ", plain(text))
    return [w for w in re.findall(r"[A-Za-z]+", text) if w not in NAMES and w not in folders]


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "100"] + list(names), check=True)
    time.sleep(0.3)


def menu(title, *keys):
    """Opens a menu of the frame by its mnemonic and walks it by keys. (An accessible action
    would run the item inside the accessibility call, whose modal dialog then blocks it.)"""
    def open_it():
        subprocess.run(["xdotool", "windowactivate", "--sync", frame_id], check=True)
        key("alt+" + title)
        time.sleep(0.5)
        key(*keys)
    return open_it


def click_action(acc):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("click", "press", "activate"):
            action.doAction(i)
            return
    action.doAction(0)


def new_window(before, open_it):
    """Opens a window with `open_it`; once more, up to three times, when none came (a click
    on the tree is taken only once the program is idle, and a menu item that is not enabled
    yet leaves its menu open)."""
    known = {(w.name, w.getRole()) for w in before}
    found = lambda: next((w for w in windows() if (w.name, w.getRole()) not in known), None)
    for attempt in range(3):
        open_it()
        try:
            return wait(found, "a new window", 10)
        except SystemExit:
            if attempt == 2:
                raise
            key("Escape")


def check(what, open_it, close_with, inside=None):
    """Opens a window with `open_it`, checks its texts, runs `inside` on it, and closes it with
    the first button whose name is one of `close_with`."""
    global failures
    before = windows()
    window = new_window(before, open_it)

    def close_button():
        buttons = [a for a in descendants(window) if a.getRole() == pyatspi.ROLE_PUSH_BUTTON]
        return next((b for name in close_with for b in buttons if plain(b.name) == name), None)

    # Its contents are filled in once it is shown, later still on a loaded machine: read them
    # once the button that closes it is there.
    wait(close_button, "%s's buttons %s" % (what, close_with))
    shown = texts(window)
    # The folders of the paths the window holds, drawn or in a tooltip (the path bar's
    # buttons show one folder each).
    folders = {part for acc in descendants(window)
               for token in (acc.name + " " + acc.description).split()
               if "/" in token for part in token.split("/")}
    folders |= {part for t in shown for token in t.split() if "/" in token
                for part in token.split("/")}
    words = sorted({w for t in shown for w in english_words(t, folders)})
    if words:
        failures += 1
        print("FAIL - %s shows English words: %s" % (what, " ".join(words)))
        for t in shown:
            print("       | " + t.replace("\n", " "))
    else:
        print("ok   - %s shows no English word" % what)
    if inside is not None:
        inside(window)
    button = close_button()
    if button is None:
        raise SystemExit("%s has none of the buttons %s" % (what, close_with))
    click_action(button)
    wait(lambda: len(windows()) <= len(before), "%s to close" % what)
    return window


def click_tree(x, y):
    subprocess.run(click_command + [str(x), str(y)], check=True)
    time.sleep(0.5)


def named_button(window, name):
    """Presses a button that opens a modal window by the keyboard: run from an accessible
    action, the window's loop would block the accessibility calls."""
    def press():
        button = next(a for a in descendants(window)
                      if a.getRole() == pyatspi.ROLE_PUSH_BUTTON and plain(a.name) == name)
        button.queryComponent().grabFocus()
        key("space")
    return press


def click_below(window, label_name, dx, dy):
    """Clicks at (dx, dy) from the middle of the left edge of the label `label_name`."""
    label = next(a for a in descendants(window)
                 if a.getRole() == pyatspi.ROLE_LABEL and a.name == label_name)
    box = label.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + dx), str(box.y + box.height // 2 + dy),
                    "click", "1"], check=True)
    time.sleep(0.5)


def refusal_tip(window):
    """Types a refused character into the output-name editor of the list's first row and
    reads the reason from the tip shown under it."""
    global failures
    # The output name is the last column, below the label, the header and half a row.
    click_below(window, "エクスポートするパーツリスト", 400, 47)
    subprocess.run(["xdotool", "type", "/"], check=True)
    tip = wait(lambda: next((a for w in windows() for a in descendants(w)
                             if a.getRole() == pyatspi.ROLE_LABEL
                             and a.name.startswith("パーツ名には次の文字は使えません")), None),
               "the refusal tip")
    words = english_words(tip.name, set())
    if words:
        failures += 1
        print("FAIL - the refusal tip shows English words: %s" % " ".join(words))
    else:
        print("ok   - the refusal tip shows no English word")
    key("Escape")


def export_dialogs(window):
    # A part in the list, for the modeling type dialog: QFP_Sample_1, the second row of the
    # parts tree below its label.
    click_below(window, "パーツ一覧", 100, 42)
    named_button(window, "リストに追加 ->")()
    refusal_tip(window)
    check("the modeling type dialog", named_button(window, "モデル化の一括設定"), ["キャンセル"])
    check("the export folder chooser", named_button(window, "..."), ["キャンセル"])


def refused_rename():
    menu("f", "Up", "Up", "Return")()  # Rename, above Exit
    editor = wait(lambda: next(a for w in windows() for a in descendants(w)
                               if a.getRole() == pyatspi.ROLE_TEXT
                               and a.getState().contains(pyatspi.STATE_EDITABLE)
                               and a.getState().contains(pyatspi.STATE_FOCUSED)), "the editor")
    editor.queryEditableText().setTextContents("_x")
    key("Return")


wait(program, "the program in the accessibility tree", 60)
wait(lambda: any(w.name == "Zentrik" for w in windows()), "the main frame")
time.sleep(1)

check("the about box", menu("h", "a"), ["OK"])
check("the New Part dialog", menu("f", "n"), ["キャンセル"])
check("the program configuration sheet", menu("o", "Up", "Return"), ["キャンセル"])
check("the Export dialog", menu("f", "e"), ["閉じる", "キャンセル"], export_dialogs)
def on_row(x, y, then):
    """Selects a row of the file tree by a click, then does `then`."""
    def select_and_go():
        click_tree(x, y)
        then()
    return select_and_go


check("the New Folder dialog", on_row(68, 76, menu("f", "f")), ["キャンセル"])  # the QFP folder
check("the delete question", on_row(109, 99, menu("f", "d")), ["いいえ"])  # QFP_Sample_1
check("the refused name", refused_rename, ["OK"])
key("Escape")  # the editor is back for a correction


def type_thickness(text):
    """Types into the grid's editor of the mold's thickness, the open part's fourth row."""
    def type_it():
        click_tree(400, 679)
        key("ctrl+a")
        subprocess.run(["xdotool", "type", text], check=True)
        key("Return")
    return type_it


click_tree(109, 99)  # QFP_Sample_1 opens
check("the property grid's refusal", type_thickness("abc"), ["OK"])
type_thickness("2")()
check("the modified-part question", menu("f", "e"), ["キャンセル"])

if failures:
    print("%d window(s) show English words" % failures)
    sys.exit(1)
print("all windows checked")
