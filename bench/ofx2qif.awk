#!/usr/bin/awk -f
# The minimal streaming converter bench/run compares with: each <STMTTRN> block becomes a QIF record, no rules.
BEGIN { RS = "\r?\n"; print "!Type:Bank" }
/^<STMTTRN>/ { delete f }
/^<[A-Z.]+>./ { i = index($0, ">"); f[substr($0, 2, i - 2)] = substr($0, i + 1) }
/^<\/STMTTRN>/ { d = f["DTPOSTED"]; printf "D%s/%s/%s\nT%s\nP%s\nM%s\nN%s\n^\n", substr(d, 5, 2), substr(d, 7, 2), substr(d, 1, 4), f["TRNAMT"], f["NAME"], f["MEMO"], f["CHECKNUM"] }
