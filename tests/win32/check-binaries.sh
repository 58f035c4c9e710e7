#!/usr/bin/env bash
# Checks of the i686 Windows build that need no 32-bit code to run (this kernel runs none): its
# compile flags and its unstripped binaries, read with objdump.
#
#   check-binaries.sh flags compile_commands.json   every C and C++ compile uses SSE2 arithmetic
#                                                   and realigns the stack where SSE needs it
#   check-binaries.sh stdcall FILE...               every stdcall function pops the arguments its
#                                                   decoration (@N) says, every this-adjusting thunk
#                                                   jumps to a method of the same N, and every DLL
#                                                   export is such a function
#   check-binaries.sh frames DLL...                 the DLL registers its frame tables with its own
#                                                   unwinder (see src/platform/common/ModuleFrames.cpp)
#   check-binaries.sh clock FILE...                 nothing uses the C library's 32-bit time
set -euo pipefail
objdump=i686-w64-mingw32-objdump

# flags compile_commands.json
flags() {
  [[ -s "$1" ]] || { echo "FAIL $1: no compile commands"; return 1; }
  perl -0777 -ne '
    my ($n, $bad) = (0, 0);
    while (/\{(.*?)\}/sg) {
      my $entry = $1;
      my ($command) = $entry =~ /"command"\s*:\s*"((?:[^"\\]|\\.)*)"/;
      my ($file) = $entry =~ /"file"\s*:\s*"((?:[^"\\]|\\.)*)"/;
      next unless defined $command && defined $file && $file =~ /\.(c|cc|cpp)$/;
      $n++;
      my @words = split " ", $command;
      my %last;
      for my $w (@words) {
        $last{fpmath} = $w if $w =~ /^-mfpmath=/;
        $last{sse2} = $w if $w =~ /^-m(no-)?sse2$/;
        $last{realign} = $w if $w =~ /^-m(no-)?stackrealign$/;
      }
      my @missing = grep { !defined $last{$_->[0]} || $last{$_->[0]} ne $_->[1] }
                    (["fpmath", "-mfpmath=sse"], ["sse2", "-msse2"], ["realign", "-mstackrealign"]);
      next unless @missing;
      $bad++;
      print "FAIL $file: compiled without ", join(" ", map { $_->[1] } @missing), "\n";
    }
    print "flags: $n compiles, $bad without SSE2 arithmetic and stack realignment\n";
    exit($n > 0 && $bad == 0 ? 0 : 1);
  ' "$1"
}

# stdcall FILE...
stdcall() {
  local file failed=0
  for file in "$@"; do
    {
      echo "#symbols"
      i686-w64-mingw32-nm --defined-only "$file"
      echo "#exports"
      "$objdump" -p "$file"
      echo "#code"
      "$objdump" -d --no-show-raw-insn "$file"
    } | perl -ne '
      BEGIN { ($file) = @ARGV; @ARGV = (); }
      if (/^#(symbols|exports|code)$/) { $part = $1; next; }
      if ($part eq "symbols") {
        if (/^([0-9a-f]+) [TtWw] (\S+)$/) {
          push @{$at{hex $1}}, $2;
          $stdcall{$1} = $2 if $2 =~ /^(.+)@(\d+)$/;
        }
      } elsif ($part eq "exports") {
        $base = hex $1 if /^ImageBase\s+([0-9a-f]+)/;
        $rva{$1} = hex $2 if /^\s*\[\s*(\d+)\] \+base\[\s*\d+\]\s+([0-9a-f]+) Export RVA/;
        $name{$1} = $2 if /^\s*\[\s*(\d+)\] (\S+)$/ && $seen_names;
        $seen_names = 1 if /^\[Ordinal\/Name Pointer\] Table/;
        $seen_names = 0 if /^$/;
      } else {
        if (/^[0-9a-f]+ <(.+)>:$/) {
          $fn = $1;
          ($pops) = $fn =~ /@(\d+)(?:\.cold(?:\.\d+)?)?$/;
          # A thunk that adjusts "this" for a stdcall method (a COM interface of a class with
          # several bases) carries no decoration: it pops what its method does.
          if (!defined $pops && $fn =~ /^__ZT(?:h|v-?\d+_)n?\d+_(.*?)(?:\.cold(?:\.\d+)?)?$/) {
            $pops = $stdcall{"__Z$1"};
            $thunks++ if defined $pops;
          }
          $functions++ if defined $pops;
        } elsif (defined $pops && /^\s*[0-9a-f]+:\s+ret\s*(?:\$0x([0-9a-f]+))?\s*$/) {
          my $n = hex($1 // 0);
          if ($n != $pops) { print "FAIL $file: $fn returns with ret \$$n, not \$$pops\n"; $bad++; }
        } elsif (defined $pops && $fn =~ /^__ZT/ && /\sjmp\s+[0-9a-f]+ <([^>+]+)>/) {
          my ($target) = $1 =~ /@(\d+)$/;
          if (defined $target && $target != $pops) { print "FAIL $file: $fn jumps to $1\n"; $bad++; }
        }
      }
      END {
        for my $i (sort { $a <=> $b } keys %name) {
          my @symbols = @{$at{$base + ($rva{$i} // 0)} // []};
          my $export = $name{$i};
          (my $plain = $export) =~ s/@\d+$//;
          next if grep { /^_\Q$plain\E@\d+$/ } @symbols;
          print "FAIL $file: export $export is not a stdcall function (", join(" ", @symbols) || "no symbol", ")\n";
          $bad++;
        }
        my $exports = keys %name;
        print "stdcall: $file: $functions stdcall functions (", $thunks // 0, " of them thunks), $exports exports, ",
              $bad // 0, " faults\n";
        exit(($bad // 0) == 0 && $functions > 0 ? 0 : 1);
      }
    ' "$file" || failed=1
  done
  return "$failed"
}

# frames DLL...
frames() {
  local file failed=0 mark section start size caller
  for file in "$@"; do
    mark="$(i686-w64-mingw32-nm "$file" | sed -n 's/^\([0-9a-f]*\) . orvel_frame_tables_mark$/\1/p')"
    section="$("$objdump" -h "$file" | awk '$2 == ".eh_frame" { print $4, $3 }')"
    if [[ -z "$mark" || -z "$section" ]]; then
      echo "FAIL $file: no mark in its frame tables: its exceptions end a host that loaded the shared GCC runtime first"
      failed=1
      continue
    fi
    read -r start size <<<"$section"
    if (( 16#$mark < 16#$start || 16#$mark >= 16#$start + 16#$size )); then
      echo "FAIL $file: the mark at $mark lies outside the frame tables ($start + $size)"
      failed=1
      continue
    fi
    # The registration calls this module's own unwinder, not one found at run time.
    caller="$("$objdump" -d --no-show-raw-insn "$file" |
      awk '/^[0-9a-f]+ <.*RegisterModuleFrames.*>:$/ { on = 1; next } /^[0-9a-f]+ <.*>:$/ { on = 0 } on')"
    if ! grep -q 'call .*<__Unwind_Find_FDE>' <<<"$caller" || ! grep -q 'call .*<___register_frame_info>' <<<"$caller"; then
      echo "FAIL $file: RegisterModuleFrames does not call the module's own unwinder"
      failed=1
      continue
    fi
    echo "ok   $file: frame tables at $start, mark at $mark, registered with its own unwinder"
  done
  return "$failed"
}

# clock FILE...
clock() {
  local file failed=0 calls
  for file in "$@"; do
    calls="$("$objdump" -p "$file" | awk '
      /DLL Name:/ { crt = tolower($3) ~ /^(msvcrt|api-ms-win-crt-)/; next }
      crt && NF == 3 && $3 ~ /^_?(time|localtime|gmtime|mktime|ctime|difftime|mkgmtime|ftime|utime|futime)(32)?$/ { print $3 }')"
    if [[ -n "$calls" ]]; then
      echo "FAIL $file: uses the C library's 32-bit clock:" $calls
      failed=1
    else
      echo "ok   $file: no 32-bit time calls"
    fi
  done
  return "$failed"
}

case "${1:-}" in
  flags | stdcall | frames | clock) "$@" ;;
  *) sed -n '2,/^set -e/p' "$0" | sed '$d' >&2; exit 2 ;;
esac
