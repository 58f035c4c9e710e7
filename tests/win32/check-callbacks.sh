#!/usr/bin/env bash
# Every procedure the system calls (a CALLBACK: window, subclass and dialog procedures) must let
# no exception out: the system's frames lie between it and whoever would catch it, the i686
# unwinder cannot pass them and the host process ends. So each CALLBACK definition is a function
# try block whose last handler is catch (...). A procedure is handed over as a WNDPROC, never as a
# number (reinterpret_cast<LONG_PTR>(&Proc)), so that the compiler checks its signature and
# calling convention.
#
#   check-callbacks.sh [FILE|FOLDER]...   (default: the sources of this tree)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=("$root/src" "$root/host" "$root/emulator" "$root/tests" "$root/bench")

files=()
while IFS= read -r -d '' f; do files+=("$f"); done < <(
  find "${targets[@]}" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 | sort -z)
[[ ${#files[@]} -gt 0 ]] || { echo "check-callbacks: no sources in ${targets[*]}" >&2; exit 1; }

perl -e '
  use strict;
  use warnings;
  my ($defined, $bad) = (0, 0);
  local $/;
  for my $file (@ARGV) {
    open(my $in, "<", $file) or die "check-callbacks: $file: $!\n";
    my $text = <$in>;
    close $in;
    # Comments and literals are blanked (line breaks kept), so that their brackets do not count.
    $text =~ s{R"([^(\s]*)\(.*?\)\1"|//[^\n]*|/\*.*?\*/|"(?:[^"\\\n]|\\.)*"|\x27(?:[^\x27\\\n]|\\.)*\x27}
              {my $s = $&; $s =~ s/[^\n]/ /g; $s}gse;
    while ($text =~ /\bCALLBACK\s+([A-Za-z_][\w:]*)\s*(?<args>\((?:[^()]++|(?&args))*\))\s*(?:noexcept\s*)?(try\b|\{)/g) {
      my ($name, $kind, $at) = ($1, $3, $-[0]);
      my $line = 1 + (substr($text, 0, $at) =~ tr/\n//);
      $defined++;
      my $guarded = 0;
      if ($kind eq "try") {
        # The try block, then its handlers one by one: the last must take anything.
        my $blk = qr/(\{(?:[^{}]++|(?-1))*\})/;
        pos($text) = $+[0];
        if ($text =~ /\G\s*$blk/gc) {
          my $last;
          $last = $1 while $text =~ /\G\s*catch\s*\(([^()]*)\)\s*$blk/gc;
          $guarded = defined $last && $last =~ /^\s*\.\.\.\s*$/;
        }
      }
      next if $guarded;
      print "$file:$line: $name: an exception can leave this CALLBACK into the system\x27s frames\n";
      $bad++;
    }
    while ($text =~ /reinterpret_cast\s*<\s*LONG_PTR\s*>\s*\(\s*&/g) {
      my $line = 1 + (substr($text, 0, $-[0]) =~ tr/\n//);
      print "$file:$line: an address stored as a number: pass a procedure as a WNDPROC\n";
      $bad++;
    }
  }
  print "callbacks: $defined CALLBACK definitions, $bad faults\n";
  exit($bad == 0 && $defined > 0 ? 0 : 1);
' "${files[@]}"
