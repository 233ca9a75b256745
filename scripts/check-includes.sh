#!/usr/bin/env bash
# Fails on an include that runs upward through the floors of the code:
#   - a library without Qt (mpa, text, resources, the digest library, and the
#     engine files of automation, scripting, tools, exchange, keys, the widget
#     floor's logic) including Qt;
#   - a lower floor including a higher one (mpa/text/resources including
#     anything above them; platform including a subsystem; an engine including
#     a window);
#   - the widget floor (calculator/common) including a dialog folder or the
#     main window;
#   - a dialog folder including the main window or another dialog folder.
# Usage: scripts/check-includes.sh [ROOT]   (exit 1 and a list on violations)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

status=0
report() {
  echo "upward include: $1: $2 ($3)"
  status=1
}

# Sources of a folder, without its subfolders unless asked.
sources() {
  local dir=$1 depth=${2:-1}
  [ -d "$dir" ] || return 0
  find "$dir" -maxdepth "$depth" -type f \( -name '*.cpp' -o -name '*.h' \) | sort
}

# The project includes of a file: "folder/file.h" lines.
project_includes() {
  sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$1"
}
qt_includes() {
  grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q[A-Za-z]*(/[A-Za-z]*)?>' "$1" || true
}

# Engine files of a dialog folder: everything except the dialogs, the
# registration and the Qt-only helpers, which carry _dialog, _dlg, _view or
# register_ in their names.
is_window_file() {
  case "$(basename "$1")" in
    *_dialog.* | *_dlg.* | *_view.* | register_*) return 0 ;;
    *) return 1 ;;
  esac
}

check_file() {
  local file=$1 allowed_re=$2 why=$3 inc
  while IFS= read -r inc; do
    [ -n "$inc" ] || continue
    if ! [[ $inc =~ $allowed_re ]]; then
      report "$file" "$inc" "$why"
    fi
  done < <(project_includes "$file")
}

no_qt() {
  local file=$1 hit
  hit=$(qt_includes "$file")
  [ -z "$hit" ] || report "$file" "$(echo "$hit" | head -1 | sed 's/^[0-9]*://')" "a library without Qt"
}

# Floor 1: leaf libraries.
for f in $(sources mpa 2); do
  no_qt "$f"
  check_file "$f" '^mpa/' "mpa includes only itself"
done
for f in $(sources text 2); do
  no_qt "$f"
  check_file "$f" '^(text|mpa|resources)/' "text sits on mpa and resources only"
done
for f in $(sources resources 1); do
  no_qt "$f"
  check_file "$f" '^resources/' "resources includes only itself"
done
for f in $(sources tools/digest 2); do
  no_qt "$f"
  check_file "$f" '^tools/digest/' "the digest library depends on nothing"
done

# Floor 2: platform (Qt only in platform/qt and the engine modules).
for f in $(sources platform 3); do
  case "$f" in
    platform/qt/* | platform/jscript/*) ;;
    *) no_qt "$f" ;;
  esac
  check_file "$f" '^(platform|mpa|text|resources|tools/digest)/' "platform sits on the leaf libraries only"
done

# Floor 3: engines without Qt.
lower='mpa|text|resources|platform|tools/digest'
for f in $(sources automation 2); do
  no_qt "$f"
  check_file "$f" "^(automation|$lower)/" "automation sits on the floors below"
done
for folder in scripting tools exchange keys; do
  # The script host calls the arithmetic object it hands to scripts.
  own=$folder
  [ "$folder" = scripting ] && own='scripting|automation'
  for f in $(sources "$folder" 1); do
    if is_window_file "$f"; then
      # Floor 5: a dialog folder's windows sit on the widget floor and the
      # engines (their own or another folder's), never on another folder's
      # windows or the main window.
      while IFS= read -r inc; do
        [ -n "$inc" ] || continue
        if [[ $inc =~ ^($own|calculator/common|$lower)/ ]]; then continue; fi
        if [[ $inc =~ ^(tools|exchange|keys|scripting|automation)/ ]] && ! is_window_file "$inc"; then
          continue
        fi
        report "$f" "$inc" "a dialog folder includes neither the window nor another folder's dialogs"
      done < <(project_includes "$f")
    else
      no_qt "$f"
      check_file "$f" "^($own|$lower)/" "an engine includes no window"
    fi
  done
done

# Floor 4: the widget floor.
for f in $(sources calculator/common 3); do
  case "$(basename "$f")" in
    settings_store.* | hex_edit_logic.* | folder_rules.*) no_qt "$f" ;;
  esac
  check_file "$f" "^(calculator/common|$lower)/" "the widget floor includes no dialog folder and no window"
done

# The calculator engine has no Qt either.
for f in calculator/calculator_engine.cpp calculator/calculator_engine.h calculator/tip_choice.cpp calculator/tip_choice.h; do
  [ -f "$f" ] && no_qt "$f"
done

# The CLI links only the -core libraries: no window header.
for f in $(sources cli 1); do
  check_file "$f" "^(cli|automation|scripting|tools|exchange|keys|$lower)/" "the CLI uses no window"
  if [[ -f $f ]]; then
    while IFS= read -r inc; do
      if is_window_file "$inc"; then report "$f" "$inc" "the CLI uses no window"; fi
    done < <(project_includes "$f")
  fi
done

if [ "$status" -eq 0 ]; then
  echo "include directions: ok"
fi
exit "$status"
