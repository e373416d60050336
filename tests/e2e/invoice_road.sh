#!/usr/bin/env bash
# The invoice road on a real display: starts the program on a virtual X server (Xvfb) with a fresh data
# folder and drives it as a user would, with xdotool's keys and clicks: the settings, an items invoice of three
# lines, confirmed and printed to PDF, "New Invoice, Same Customer", a services invoice; then checks the PDFs'
# text and the stored rows. Exits 77 (skipped) with a notice where Xvfb or xdotool is missing.
#
#   invoice_road.sh PROGRAM
#
# With TALLYROOK_E2E_KEEP set, the data folder and the PDFs are left in the folder it names.
set -euo pipefail
program=$1

for tool in Xvfb xdotool pdftotext sqlite3; do
  if ! command -v "$tool" >/dev/null; then
    echo "NOTICE: end-to-end test skipped: $tool is not installed (bash scripts/setup installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  if [ -n "${TALLYROOK_E2E_KEEP:-}" ]; then
    mkdir -p "$TALLYROOK_E2E_KEEP" && cp -r "$work/data" "$work/out" "$TALLYROOK_E2E_KEEP"/
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  [ -f "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log"
  exit 1
}

# A display number nobody uses.
for n in $(seq 90 189); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    export DISPLAY=":$n"
    break
  fi
done
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 200); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  sleep 0.05
done

mkdir -p "$work/data" "$work/home" "$work/run" "$work/out"
chmod 700 "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" TALLYROOK_DATA="$work/data" LC_ALL=C.UTF-8 LANG=C.UTF-8
unset QT_QPA_PLATFORM
database="$work/data/tallyrook.db"

# The visible window whose title matches, once it is there.
window() {
  timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -1 || fail "no window \"$1\""
}
# Waits until no visible window's title matches.
closed() {
  for _ in $(seq 600); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.05
  done
  fail "window \"$1\" stayed open"
}
focus() { xdotool windowfocus --sync "$1"; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
key() { xdotool key --clearmodifiers "$@"; }
type() { xdotool type --delay 15 "$1"; }
# Empties the focused entry field and types into it.
retype() {
  key End
  for _ in $(seq 14); do key BackSpace; done
  type "$1"
}
sql() { sqlite3 "$database" "$1"; }

"$program" >"$work/program.log" 2>&1 &
app=$!
main=$(window "TALLYROOK Billsprints")
focus "$main"

# ---- the settings: company and a default tax percent of 17.5 ----
click "$main" 668 122 # MENU
key Down Return       # Edit Settings
settings=$(window "^  SETTINGS$")
focus "$settings"
type "Harbour Tools Ltd"
key Return
for _ in $(seq 6); do key Down; done # to the default tax percent
retype "17.5"
key Return
click "$settings" 389 390 # SAVE
closed "^  SETTINGS$"
[ "$(sql 'SELECT COMPANY, TaxPCT FROM CONTROL')" = "Harbour Tools Ltd|17.5" ] || fail "settings not stored"

# ---- an items invoice of three lines ----
focus "$main"
click "$main" 200 42 # the customer's name
type "Harbour Bakery"
key Return
type "12 Quay Street"
key Return
add_line() { # description quantity price
  click "$main" 200 230 # DESCRIPTION
  type "$1"
  if [ -n "$2" ]; then
    click "$main" 470 219 # QUANTITY
    retype "$2"
  fi
  click "$main" 556 219 # ITEM PRICE
  retype "$3"
  click "$main" 601 248 # Add to Invoice
}
add_line "Sourdough loaf" 3 2.50
add_line "Rye loaf" 2 3.25
add_line "Bread knife" 1 12
[ "$(sql 'SELECT COUNT(*) FROM INV2')" = 3 ] || fail "the three lines were not added"

# Create Invoice, confirmed; the preview prints to a PDF file named in the save dialog.
create_invoice() { # pdf file
  click "$main" 615 447
  confirm=$(window "^Confirm$")
  focus "$confirm"
  key Return # Yes
  preview=$(window "Tallyrook Print Preview")
  focus "$preview"
  key Return # PRINT
  save=$(window "Save the invoice as PDF")
  focus "$save"
  key ctrl+a
  type "$1"
  key Return
  for _ in $(seq 600); do
    [ -s "$1" ] && break
    sleep 0.05
  done
  [ -s "$1" ] || fail "no PDF $1"
  focus "$preview"
  key Escape
  closed "Tallyrook Print Preview"
}
what_next() { # the choice's y in the what-next dialog
  next=$(window "^  Tallyrook$")
  focus "$next"
  click "$next" 60 "$1"
  click "$next" 102 171 # OK
  closed "^  Tallyrook$"
  focus "$main"
}
create_invoice "$work/out/items.pdf"
what_next 94 # New Invoice, Same Customer

# ---- a services invoice ----
click "$main" 600 122 # Invoice Type
key Down Return       # SERVICES
add_line "Delivery" "" 5
add_line "Baking course" "" 40
create_invoice "$work/out/services.pdf"
what_next 62 # New Invoice, blank

# ---- what was stored and printed ----
headers=$(sql "SELECT CAST(InvNUM AS INTEGER), TYPE, CUSTNO, CUSTOMER, ADDR1, printf('%.2f|%.2f|%.2f', NET, TAX, GROSS) FROM MINV1 ORDER BY InvNUM")
expected="1|1|0|Harbour Bakery|12 Quay Street|26.00|4.55|30.55
2|0|0|Harbour Bakery|12 Quay Street|45.00|7.88|52.88"
[ "$headers" = "$expected" ] || fail "stored headers:
$headers"
lines=$(sql "SELECT CAST(h.InvNUM AS INTEGER), IFNULL(l.QUANTITY, '-'), l.DESCRIPTION, printf('%.2f|%.2f', l.ITEMPRICE, l.ITEMTOTAL)
             FROM MINV2 l JOIN MINV1 h ON h.REC = l.REC ORDER BY h.InvNUM, l.rowid")
expected="1|3.0|Sourdough loaf|2.50|7.50
1|2.0|Rye loaf|3.25|6.50
1|1.0|Bread knife|12.00|12.00
2|-|Delivery|5.00|5.00
2|-|Baking course|40.00|40.00"
[ "$lines" = "$expected" ] || fail "stored lines:
$lines"
[ "$(sql 'SELECT LastINV FROM CONTROL')" = 2 ] || fail "the invoice counter is not 2"

pdf_has() { # file text...
  local text
  text=$(pdftotext -layout "$1" -)
  shift
  for want in "$@"; do
    grep -qF -- "$want" <<<"$text" || fail "\"$want\" not in the PDF:
$text"
  done
}
pdf_number() { # file number
  pdftotext -layout "$1" - | grep -qE "Invoice number +$2\$" || fail "$1 is not numbered $2"
}
pdf_number "$work/out/items.pdf" 1
pdf_number "$work/out/services.pdf" 2
pdf_has "$work/out/items.pdf" "Harbour Tools Ltd" "Harbour Bakery" "12 Quay Street" "Sourdough loaf" "Rye loaf" \
  "Bread knife" "7.50" "6.50" "12.00" "26.00" "4.55" "30.55"
pdf_has "$work/out/services.pdf" "Harbour Bakery" "Delivery" "Baking course" "45.00" "7.88" "52.88"

# EXIT ends the program.
focus "$main"
click "$main" 668 149
for _ in $(seq 200); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$app" 2>/dev/null && fail "EXIT did not end the program"
wait "$app" || fail "the program ended with an error"
app=""
echo "1 passed, 0 failed"
