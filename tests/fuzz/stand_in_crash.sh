#!/usr/bin/env bash
# A stand-in for a fuzzer that finds a crash at once: it writes its input
# where libFuzzer would, prints libFuzzer's lines and ends with 77.
for argument; do [[ $argument == -artifact_prefix=* ]] && prefix=${argument#-artifact_prefix=}; done
printf 'crashing input' >"${prefix}crash-0123456789abcdef"
echo "==4242==ERROR: AddressSanitizer: heap-use-after-free on address 0x602000000010"
echo "SUMMARY: AddressSanitizer: heap-use-after-free"
echo "artifact_prefix='$prefix'; Test unit written to ${prefix}crash-0123456789abcdef"
exit 77
