#!/usr/bin/env python3
"""Writes large synthetic statements and preference stores for the benchmarks.

  generate.py ofx N FILE        an OFX 1.x bank statement with N transactions
  generate.py qif N FILE        a QIF bank register with N transactions
  generate.py qif-splits N FILE the same register, every third transaction split in two
  generate.py csv N FILE        the same transactions as a bank's CSV export, read with the
                                input format every generated store holds
  generate.py inv-ofx N FILE    an OFX 1.x brokerage statement with N transactions: purchases,
                                sales, dividends and reinvestments of a few securities
  generate.py values N FILE     a store (JSON) holding N values: a description list
  generate.py store M FILE [OPTION...]
                                a store (JSON, for `corvela-cli prefs import`) with M
                                starts-with instructions that match the generated payees,
                                and the given options switched on

The payees and amounts look like a real checking account: a few hundred merchants, each
with a store number, so instructions of different lengths match.
"""
import datetime
import json
import random
import sys

MERCHANTS = [
    "AMAZON MKTP US", "AMAZON.COM", "WHOLEFDS MKT", "TRADER JOE S", "SHELL OIL", "CHEVRON",
    "STARBUCKS STORE", "COMCAST CABLE", "VERIZON WIRELESS", "PG&E WEB ONLINE", "NETFLIX.COM",
    "SPOTIFY USA", "UBER TRIP", "LYFT RIDE", "TARGET T-", "WALGREENS #", "CVS PHARMACY #",
    "HOME DEPOT #", "LOWES #", "COSTCO WHSE #", "SAFEWAY #", "CHIPOTLE", "MCDONALD'S F",
    "PAYROLL ACME CORP", "ATM WITHDRAWAL", "CHECK", "VENMO PAYMENT", "ZELLE TO", "IRS TREAS 310",
    "STATE FARM INSURANCE", "KAISER PERMANENTE", "APPLE.COM/BILL", "GOOGLE *STORAGE",
]


def payee(rng):
    base = rng.choice(MERCHANTS)
    if base.endswith("#") or base.endswith("-"):
        return f"{base}{rng.randint(100, 9999)} CITY {rng.choice(['CA', 'NY', 'TX', 'WA'])}"
    if base == "CHECK":
        return f"CHECK {rng.randint(1000, 9999)}"
    return f"{base} {rng.randint(10000, 99999)}"


def amount(rng, name):
    if name.startswith("PAYROLL"):
        return rng.randint(150000, 450000) / 100
    return -rng.choice([rng.randint(100, 5000), rng.randint(5000, 40000)]) / 100


def transactions(n, seed=1):
    rng = random.Random(seed)
    day = datetime.date(2024, 1, 1)
    for i in range(n):
        if i and i % 40 == 0:
            day += datetime.timedelta(days=1)
        name = payee(rng)
        yield i, day, name, amount(rng, name)


def write_ofx(n, path):
    with open(path, "w", newline="\r\n") as f:
        f.write("OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nSECURITY:NONE\nENCODING:USASCII\n"
                "CHARSET:1252\nCOMPRESSION:NONE\nOLDFILEUID:NONE\nNEWFILEUID:NONE\n\n")
        f.write("<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
                "<DTSERVER>20240101<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>\n"
                "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
                "<STMTRS><CURDEF>USD<BANKACCTFROM><BANKID>121000248<ACCTID>1234567890"
                "<ACCTTYPE>CHECKING</BANKACCTFROM>\n<BANKTRANLIST><DTSTART>20240101<DTEND>20301231\n")
        for i, day, name, amt in transactions(n):
            kind = "CREDIT" if amt > 0 else "DEBIT"
            f.write(f"<STMTTRN>\n<TRNTYPE>{kind}\n<DTPOSTED>{day:%Y%m%d}120000[-8:PST]\n"
                    f"<TRNAMT>{amt:.2f}\n<FITID>{i:010d}\n<NAME>{name[:32]}\n"
                    f"<MEMO>{name}\n</STMTTRN>\n")
        f.write("</BANKTRANLIST><LEDGERBAL><BALAMT>1000.00<DTASOF>20240101</LEDGERBAL>\n"
                "</STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\n")


def write_qif(n, path, splits=False):
    with open(path, "w") as f:
        f.write("!Type:Bank\n")
        for i, day, name, amt in transactions(n):
            f.write(f"D{day:%m/%d/%Y}\nT{amt:,.2f}\nP{name}\nN{i}\n")
            if splits and i % 3 == 0:
                half = round(amt / 2, 2)
                f.write(f"SGroceries\nEfirst half\n${half:.2f}\n"
                        f"SDining\nEsecond half\n${amt - half:.2f}\n")
            f.write("^\n")


# The input format of the CSV export: a header line to match, quoted payees, a decimal comma
# in quotes, day before month.
CSV_FORMAT = {"Name": "Bench Bank CSV", "FormatType": "Bank", "Match": "Booking date;Payee;Reference",
              "DateDelimiter": ".", "DateStart": "\n", "DateEnd": ";", "DayBeforeMonth": True,
              "OneTransactionPerLine": True, "Fields": "SSV", "Date": 0, "Description": 1,
              "Check": 2, "Memo": 3, "Credit": 4}


def write_csv(n, path):
    with open(path, "w", newline="\r\n") as f:
        f.write("Bench Bank export\n\nBooking date;Payee;Reference;Text;Amount\n")
        for i, day, name, amt in transactions(n):
            amount_text = f"{amt:.2f}".replace(".", ",")
            f.write(f'{day:%d.%m.%Y};"{name}";{i};Card payment;"{amount_text}"\n')


SECURITIES = [("78462F103", "SPDR S&amp;P 500 ETF", "SPY"),
              ("922908363", "VANGUARD 500 INDEX", "VOO"),
              ("037833100", "APPLE INC", "AAPL"), ("594918104", "MICROSOFT CORP", "MSFT")]


def write_investment_ofx(n, path):
    rng = random.Random(3)
    with open(path, "w", newline="\r\n") as f:
        f.write("OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nSECURITY:NONE\nENCODING:USASCII\n"
                "CHARSET:1252\nCOMPRESSION:NONE\nOLDFILEUID:NONE\nNEWFILEUID:NONE\n\n"
                "<OFX><INVSTMTMSGSRSV1><INVSTMTTRNRS><TRNUID>1"
                "<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
                "<INVSTMTRS><DTASOF>20241231<CURDEF>USD<INVACCTFROM><BROKERID>example.com"
                "<ACCTID>123456</INVACCTFROM>\n<INVTRANLIST><DTSTART>20240101<DTEND>20241231\n")
        day = datetime.date(2024, 1, 1)
        for i in range(n):
            if i and i % 40 == 0:
                day += datetime.timedelta(days=1)
            cusip = rng.choice(SECURITIES)[0]
            invtran = f"<INVTRAN><FITID>{i}<DTTRADE>{day:%Y%m%d}</INVTRAN>"
            secid = f"<SECID><UNIQUEID>{cusip}<UNIQUEIDTYPE>CUSIP</SECID>"
            units, price = rng.randint(1, 200), rng.randint(1000, 50000) / 100
            kind = rng.random()
            if kind < 0.4:
                total = rng.randint(100, 9999) / 100
                f.write(f"<INCOME>{invtran}{secid}<INCOMETYPE>DIV<TOTAL>{total}"
                        "<SUBACCTSEC>CASH<SUBACCTFUND>CASH</INCOME>\n")
            elif kind < 0.7:
                f.write(f"<BUYSTOCK><INVBUY>{invtran}{secid}<UNITS>{units}<UNITPRICE>{price}"
                        f"<COMMISSION>4.95<TOTAL>-{units * price + 4.95:.2f}<SUBACCTSEC>CASH"
                        "<SUBACCTFUND>CASH</INVBUY><BUYTYPE>BUY</BUYSTOCK>\n")
            elif kind < 0.9:
                f.write(f"<SELLSTOCK><INVSELL>{invtran}{secid}<UNITS>-{units}<UNITPRICE>{price}"
                        f"<COMMISSION>4.95<TOTAL>{units * price - 4.95:.2f}<SUBACCTSEC>CASH"
                        "<SUBACCTFUND>CASH</INVSELL><SELLTYPE>SELL</SELLSTOCK>\n")
            else:
                f.write(f"<REINVEST>{invtran}{secid}<INCOMETYPE>DIV<TOTAL>-{units * price:.2f}"
                        f"<SUBACCTSEC>CASH<UNITS>{units}<UNITPRICE>{price}</REINVEST>\n")
        f.write("</INVTRANLIST></INVSTMTRS></INVSTMTTRNRS></INVSTMTMSGSRSV1>\n"
                "<SECLISTMSGSRSV1><SECLIST>\n")
        for cusip, name, ticker in SECURITIES:
            f.write(f"<STOCKINFO><SECINFO><SECID><UNIQUEID>{cusip}<UNIQUEIDTYPE>CUSIP</SECID>"
                    f"<SECNAME>{name}<TICKER>{ticker}</SECINFO></STOCKINFO>\n")
        f.write("</SECLIST></SECLISTMSGSRSV1></OFX>\n")


def write_values(n, path):
    with open(path, "w") as f:
        json.dump({"Preferences": ["converted2.2", "accountsInCategories"], "convertedFromPlist": True,
                   "Descriptions": [f"Payee {i:07d}" for i in range(n)]}, f)


def write_store(m, path, options=()):
    rng = random.Random(2)
    matches = set()
    while len(matches) < m:
        base = rng.choice(MERCHANTS)
        suffix = str(rng.randint(0, 99999))
        matches.add(f"{base} {suffix[:rng.randint(1, len(suffix))]}" if rng.random() < 0.9 else base)
    instructions = [{"descriptionMatch": s, "newDescription": s.title(),
                     "category": rng.choice(["Groceries", "Auto:Fuel", "Dining", "Utilities"])}
                    for s in sorted(matches, key=str.casefold)]
    store = {"Preferences": ["converted2.2", "accountsInCategories", *options],
             "Categories": ["Auto:Fuel", "Dining", "Groceries", "Utilities"],
             "Accounts": ["Checking"], "Descriptions": [], "Instructions": instructions,
             "OutputDateFormat": "%m/%d/%Y", "OutputDateFormatShortYear": "%m/%d/%y",
             "DescriptionOutput": "%d", "MemoOutput": "%m", "amountsPrecision": 2,
             "sharesPrecision": 2, "pricesPrecision": 4, "bccAmountsPrecision": 2,
             "convertedFromPlist": True, "Formats": [CSV_FORMAT]}
    with open(path, "w") as f:
        json.dump(store, f)


def main():
    kinds = {"ofx": write_ofx, "qif": write_qif, "values": write_values, "csv": write_csv,
             "qif-splits": lambda n, path: write_qif(n, path, splits=True),
             "inv-ofx": write_investment_ofx}
    if len(sys.argv) < 4 or (sys.argv[1] not in kinds and sys.argv[1] != "store") or \
            (sys.argv[1] != "store" and len(sys.argv) != 4):
        sys.exit(__doc__)
    kind, count, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    if kind == "store":
        write_store(count, path, sys.argv[4:])
    else:
        kinds[kind](count, path)


if __name__ == "__main__":
    main()
