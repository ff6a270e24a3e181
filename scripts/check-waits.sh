#!/usr/bin/env bash
# No event loop runs inside a command: processEvents, a QEventLoop, a dialog's or box's exec()
# or a waitFor... call appear only in the programs' main(). And no co_await stands in the
# condition of an if or a switch: GCC 12 miscompiles a co_return in such a statement (the frame
# is corrupted), so an awaited value is taken into a local first. Nor does a conditional operator
# stand in a co_await or co_return statement, nor a lambda that captures more than this, references
# or an index: GCC 12 destroys such temporaries twice there; name them first.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=0
files=$(ls link/*.{h,cpp} core/*.{h,cpp} pages/*.{h,cpp} netpages/*.{h,cpp} config/*.{h,cpp} app/*.{h,cpp} tools/*.{h,cpp} \
  cli/*.{h,cpp} sim/*.{h,cpp} 2>/dev/null | grep -v -E '(^|/)main\.cpp$|k5sim_main\.cpp$')
if grep -n -E 'processEvents|QEventLoop|\bexec\(\)|->exec\(|\.exec\(|waitFor[A-Z][A-Za-z]*\(' $files; then
  echo "an event loop nested in a command (above): await instead"
  bad=1
fi
perl -e '
  my $bad = 0;
  for my $f (@ARGV) {
    open my $h, "<", $f or next; local $/; my $s = <$h>; close $h;
    while ($s =~ /\b(?:if|switch)\s*\(/g) {
      my $start = pos($s); my ($depth, $i) = (1, $start);
      while ($depth > 0 && $i < length $s) { my $c = substr($s, $i++, 1); $depth++ if $c eq "("; $depth-- if $c eq ")"; }
      if (substr($s, $start, $i - $start) =~ /\bco_await\b/) {
        my $line = () = substr($s, 0, $start) =~ /\n/g;
        print "$f:", $line + 1, ": co_await in a condition: take the value into a local first\n"; $bad = 1;
      }
      pos($s) = $start;
    }
  }
  for my $f (@ARGV) {
    open my $h, "<", $f or next; local $/; my $s = <$h>; close $h;
    while ($s =~ /\bco_(?:await|return)\b/g) {
      my $at = $-[0]; my ($depth, $i) = (0, pos($s));
      while ($i < length $s) {
        my $c = substr($s, $i, 1);
        $depth++ if $c =~ /[({\[]/; $depth-- if $c =~ /[)}\]]/;
        last if ($c eq ";" && $depth <= 0) || $depth < 0;
        $i++;
      }
      (my $plain = substr($s, $at, $i - $at)) =~ s/::|"(?:[^"\\]|\\.)*"|\x27(?:[^\x27\\]|\\.)*\x27//g;
      my $line = 1 + (() = substr($s, 0, $at) =~ /\n/g);
      for my $cap ($plain =~ /\[([^\[\]]*)\]\s*\([^()]*\)\s*(?:mutable\s*)?(?:->|\{)/g) {
        for my $c (split /\s*,\s*/, $cap) {
          next if $c =~ /^\s*(?:this|&\w*|k|i|n|index|)\s*$/;
          print "$f:$line: a lambda capturing $c in an awaited statement: name it first\n"; $bad = 1;
        }
      }
      # The body of a lambda holds statements of its own.
      $plain =~ s/\{.*\}//s;
      if ($plain =~ /\?/) {
        print "$f:$line: a conditional in a co_await or co_return: take its value into a local first\n"; $bad = 1;
      }
    }
  }
  exit $bad;' $files tests/*.cpp tests/*.h bench/*.cpp || bad=1
exit $bad
