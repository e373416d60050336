#!/usr/bin/env bash
# The invoice road on a real display: starts the program on a virtual X server (Xvfb) with a fresh data
# folder and drives it as a user would, with xdotool's keys and clicks: the settings; a customer and two
# products added through their lists; an items invoice of three lines for the customer picked from its list,
# one line from a product picked from its list, confirmed and printed to PDF; "New Invoice, Same Customer";
# a services invoice; then the past invoices, where the first is cancelled and printed again; then what the
# main window keeps or refuses with a message: a quantity of 0.5, a price of 1e308 or of 14 digits, a
# customer name of blanks and a date that does not exist; and the date picked from its calendar, which opens
# right below it. It checks the PDFs' text and the stored rows.
# Exits 77 (skipped) with a notice where Xvfb or xdotool is missing.
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
# Under the leak checker, the message-bus library that the X11 platform starts keeps a buffer of its own to
# the end; everything else is checked.
printf 'leak:libdbus-1.so\n' >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
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
# Clicks a button that closes its window, again if the window is still open after a while: a window that
# has just got its input back from a dialog of its own (a file dialog) may drop the first click.
click_to_close() {
  for _ in 1 2 3; do
    xdotool mousemove --window "$1" "$2" "$3" click 1
    for _ in $(seq 200); do
      xdotool search --onlyvisible --name "$4" >/dev/null 2>&1 || return 0
      sleep 0.05
    done
  done
  fail "window \"$4\" stayed open"
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

# A 24-bit bitmap of 312 x 162 pixels, one colour, at 72 dots an inch: the logo.
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
logo="$work/home/logo.bmp"
{
  printf 'BM'; printf "$(le32 151686)"; printf "$(le32 0)"; printf "$(le32 54)"
  printf "$(le32 40)"; printf "$(le32 312)"; printf "$(le32 162)"; printf '\x01\x00\x18\x00'
  printf "$(le32 0)"; printf "$(le32 151632)"; printf "$(le32 2835)"; printf "$(le32 2835)"
  printf "$(le32 0)"; printf "$(le32 0)"
  head -c 151632 /dev/zero | tr '\0' '\132'
} >"$logo"
footnote="PAYMENT DUE WITHIN 14 DAYS, ACCOUNT PL61 1090 1014 0000 0712 1981 2874, SWIFT WBKPPLPP, TEL 6016 133"

# ---- the settings: company, a default tax percent of 17.5, a footnote of 100 characters and the logo ----
click "$main" 671 122 # MENU
key Down Return       # Edit Settings
settings=$(window "^  SETTINGS$")
focus "$settings"
type "Harbour Tools Ltd"
key Return
for _ in $(seq 6); do key Down; done # to the default tax percent
retype "17.5"
key Return
key Down # past the default invoice type to the footnote
type "$footnote"
key Return
click "$settings" 309 262 # Change (the logo)
picker=$(window "^Select Logo Bitmap File$")
focus "$picker"
key ctrl+a
type "$logo"
key Return
closed "^Select Logo Bitmap File$"
focus "$settings"
click_to_close "$settings" 389 390 "^  SETTINGS$" # SAVE
[ "$(sql 'SELECT COMPANY, TaxPCT FROM CONTROL')" = "Harbour Tools Ltd|17.5" ] || fail "settings not stored"
[ "$(sql 'SELECT FootNote, length(LOGO) FROM CONTROL')" = "$footnote|151686" ] || fail "footnote or logo not stored:
$(sql 'SELECT FootNote, length(LOGO) FROM CONTROL')"

# ---- a customer and two products, added through their lists ----
focus "$main"
click "$main" 378 17 # the customer's LIST
customers=$(window "^Customers - double click to select$")
focus "$customers"
click "$customers" 52 342 # New
editor=$(window "^  Add Customer$")
focus "$editor"
type "Harbour Bakery"
key Tab
type "12 Quay Street"
click "$editor" 220 234 # SAVE
closed "^  Add Customer$"
focus "$customers"
click "$customers" 161 50 # the customer
click "$customers" 161 50
xdotool click --repeat 2 --delay 80 1 # picked by a double-click
closed "^Customers - double click to select$"
focus "$main"

click "$main" 648 219 # the products' LIST
products=$(window "^  Predefined List$")
add_product() { # description price
  focus "$products"
  click "$products" 52 422 # New
  editor=$(window "^  Edit Product/Service$")
  focus "$editor"
  type "$1"
  click "$editor" 80 223 # ITEMPRICE
  retype "$2"
  click "$editor" 344 224 # SAVE
  closed "^  Edit Product/Service$"
}
add_product "Flour sack" 8.40
add_product "Bread knife" 12
focus "$products"
click "$products" 346 63 # the first, in description order
xdotool click --repeat 2 --delay 80 1
closed "^  Predefined List$"
[ "$(sql 'SELECT TYPE, DESCRIPTION, ITEMPRICE FROM PRODUCTS ORDER BY DESCRIPTION')" = "0|Bread knife|12.0
0|Flour sack|8.4" ] || fail "products not stored"

# ---- an items invoice of three lines ----
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
focus "$main"
click "$main" 601 248 # Add to Invoice: the product picked
add_line "Sourdough loaf" 3 2.50
add_line "Rye loaf" 2 3.25
[ "$(sql 'SELECT COUNT(*) FROM INV2')" = 3 ] || fail "the three lines were not added"

# Prints the invoice in the preview to a PDF file named in the save dialog, and closes the preview.
print_pdf() { # pdf file
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
# Create Invoice, confirmed, printed to a PDF file.
create_invoice() { # pdf file
  click "$main" 615 447
  confirm=$(window "^Confirm$")
  focus "$confirm"
  key Return # Yes
  print_pdf "$1"
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

# ---- the past invoices: the first cancelled and printed again ----
click "$main" 671 122 # MENU
key Down Down Return  # View Past Invoices
invoices=$(window "^  INVOICES$")
focus "$invoices"
first_row=68 # newest first: invoice 1 is the second row
xdotool mousemove --window "$invoices" 346 "$first_row" click 3
key Down Return # Cancel/Restore Invoice
confirm=$(window "^Confirm$")
focus "$confirm"
key Return # Yes
closed "^Confirm$"
focus "$invoices"
click "$invoices" 346 "$first_row"
xdotool click --repeat 2 --delay 80 1 # re-print
print_pdf "$work/out/reprint.pdf"
focus "$invoices"
click "$invoices" 640 422 # CLOSE
closed "^  INVOICES$"

# ---- what is typed is kept, or refused with a message ----
# A message box of the program's, answered with its OK.
refused() { # what the message says
  local box
  box=$(window "^Tallyrook$")
  focus "$box"
  key Return
  closed "^Tallyrook$"
  focus "$main"
}
focus "$main"
click "$main" 600 122 # Invoice Type
key Up Return         # ITEMS
add_line "Half a day" 0.5 80
[ "$(sql 'SELECT QUANTITY, ITEMTOTAL FROM INV2')" = "0.5|40.0" ] || fail "quantity 0.5 not kept: $(sql 'SELECT * FROM INV2')"
click "$main" 200 230 # DESCRIPTION
type "Too dear"
click "$main" 556 219 # ITEM PRICE
key ctrl+a
type "1e308"
refused # the letter, as it is typed
click "$main" 556 219
key ctrl+a
type "99999999999999"
click "$main" 601 248 # Add to Invoice
refused
key Escape # the price it had
[ "$(sql 'SELECT COUNT(*) FROM INV2')" = 1 ] || fail "a price the field cannot hold was added: $(sql 'SELECT * FROM INV2')"
click "$main" 200 230
key ctrl+a BackSpace
# Each refusal below stands where the question "Confirm" would come otherwise.
click "$main" 164 41 # the customer's name
type "   "
key Return
click "$main" 615 447 # Create Invoice
refused               # a name of blanks
click "$main" 164 41
key ctrl+a
type "Mill"
key Return
click "$main" 600 95 # Invoice Date
key ctrl+a
type "31 Feb 2026"
click "$main" 615 447
refused # no such date
key ctrl+a
type "24 Dec 2026"
# The date's calendar opens right below it, and a click on a day there takes that day.
click "$main" 681 95 # the date's button
eval "$(xdotool getwindowgeometry --shell "$main")"
main_x=$X main_y=$Y calendar=
for _ in $(seq 100); do
  for w in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$WIDTH" = 200 ] && [ "$HEIGHT" = 140 ] && calendar=$w && break 2
  done
  sleep 0.05
done
[ -n "$calendar" ] || fail "the date's calendar did not open"
[ $((X - main_x)) = 559 ] && [ $((Y - main_y)) = 103 ] ||
  fail "the calendar opened at $((X - main_x)),$((Y - main_y)) of the main window, not below the date"
click "$calendar" 124 98 # 31 December
shown() { xdotool search --onlyvisible --name '^$' 2>/dev/null | grep -qx "$1"; }
for _ in $(seq 100); do
  shown "$calendar" || break
  sleep 0.05
done
shown "$calendar" && fail "a day chosen in the calendar did not close it"
[ "$(sql 'SELECT COUNT(*), MAX(CAST(InvNUM AS INTEGER)) FROM MINV1')" = "2|2" ] || fail "a refused invoice was stored"

# ---- what was stored and printed ----
headers=$(sql "SELECT CAST(InvNUM AS INTEGER), TYPE, CUSTNO, CUSTOMER, ADDR1, printf('%.2f|%.2f|%.2f', NET, TAX, GROSS) FROM MINV1 ORDER BY InvNUM")
expected="1|1|1|Harbour Bakery|12 Quay Street|26.00|4.55|30.55
2|0|1|Harbour Bakery|12 Quay Street|45.00|7.88|52.88"
[ "$headers" = "$expected" ] || fail "stored headers:
$headers"
lines=$(sql "SELECT CAST(h.InvNUM AS INTEGER), IFNULL(l.QUANTITY, '-'), l.DESCRIPTION, printf('%.2f|%.2f', l.ITEMPRICE, l.ITEMTOTAL)
             FROM MINV2 l JOIN MINV1 h ON h.REC = l.REC ORDER BY h.InvNUM, l.rowid")
expected="1|1.0|Bread knife|12.00|12.00
1|3.0|Sourdough loaf|2.50|7.50
1|2.0|Rye loaf|3.25|6.50
2|-|Delivery|5.00|5.00
2|-|Baking course|40.00|40.00"
[ "$lines" = "$expected" ] || fail "stored lines:
$lines"
[ "$(sql 'SELECT LastINV FROM CONTROL')" = 2 ] || fail "the invoice counter is not 2"
[ "$(sql 'SELECT CAST(InvNUM AS INTEGER), CANC FROM MINV1 ORDER BY InvNUM')" = "1|1
2|0" ] || fail "invoice 1 is not the one cancelled"

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
pdf_number "$work/out/reprint.pdf" 1
pdf_has "$work/out/reprint.pdf" "CANCELLED" "Harbour Bakery" "Sourdough loaf" "Bread knife" "30.55"

# Every printed invoice shows the logo at the size of its box (tens to hundreds of pixels an inch, not a dot)
# and the whole footnote: each of its words between the page's margins (15 mm, 42.5 points).
for pdf in items services reprint; do
  ppi=$(pdfimages -list "$work/out/$pdf.pdf" | awk 'NR > 2 { print $13 }')
  [ "$(wc -l <<<"$ppi")" = 1 ] && [ "$ppi" -ge 20 ] && [ "$ppi" -le 1000 ] ||
    fail "$pdf.pdf: the logo is not printed at the size of its box: $(pdfimages -list "$work/out/$pdf.pdf")"
  pdftotext "$work/out/$pdf.pdf" - | tr -s ' \n' '  ' | grep -qF -- "$footnote" || fail "$pdf.pdf: the footnote is not whole"
  outside=$(pdftotext -bbox "$work/out/$pdf.pdf" - |
    awk -F'"' -v words=" $footnote " '/<word / { w = $9; sub(/^>/, "", w); sub(/<.*/, "", w)
      if (index(words, " " w " ") && ($2 < 42 || $6 > 553)) print w }')
  [ -z "$outside" ] || fail "$pdf.pdf: footnote words outside the page's margins: $outside"
done

# EXIT ends the program.
focus "$main"
click "$main" 671 149
for _ in $(seq 200); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$app" 2>/dev/null && fail "EXIT did not end the program"
wait "$app" || fail "the program ended with an error"
app=""
echo "1 passed, 0 failed"
