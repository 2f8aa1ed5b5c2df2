#!/usr/bin/env bash
# The evaluator against an independent evaluation: 300 generated formulas (operators,
# functions, sums, products and integrals in sequence and nested) computed by
# `kdformel-cli calc` and by mpmath must agree to the digits shown. A bigger run:
# scripts/diff_eval.py --cases 5000 --seed N
set -u
exec python3 "$(dirname "$0")/../../scripts/diff_eval.py" --cli "$1" --cases 300 --seed 7
