#!/usr/bin/env python3
"""Writes the demo CSV files graduates.csv and programmes.csv (fixed seed, so the output is stable).

Usage: generate-demo-csv.py [COUNT [OUTPUT_DIR]]   (default 200 graduates, this folder)
"""
import os
import random
import sys

PROGRAMMES = [
    ("DIT", "Diploma in Information Technology", "Faculty of Computing"),
    ("DCS", "Diploma in Computer Science", "Faculty of Computing"),
    ("DBA", "Diploma in Business Administration", "Faculty of Business"),
    ("DAC", "Diploma in Accountancy", "Faculty of Business"),
    ("DME", "Diploma in Mechanical Engineering", "Faculty of Engineering"),
    ("DEE", "Diploma in Electrical & Electronic Engineering", "Faculty of Engineering"),
    ("DCE", "Diploma in Civil Engineering", "Faculty of Engineering"),
    ("DHM", "Diploma in Hotel Management", "Faculty of Hospitality"),
    ("DCA", "Diploma in Culinary Arts", "Faculty of Hospitality"),
    ("DEC", "Diploma in Early Childhood Education", "Faculty of Education"),
    ("CHN", "Certificate in Health Care (Pembantu Perawatan)", "Faculty of Health Sciences"),
    ("DGD", "Diploma in Graphic Design", "Faculty of Creative Arts"),
]
UNKNOWN_PROGRAMME = "DXP"  # a code no programme has

MALAY_MALE = ["Muhammad Hafiz", "Ahmad Faris", "Mohd Syafiq", "Amirul Hakim", "Muhammad Danish", "Khairul Anuar",
              "Azlan", "Haziq Irfan", "Zulkifli", "Aiman Ma'arof", "Faizal", "Ikhwan Syahmi"]
MALAY_FEMALE = ["Nur'ain", "Siti Nurhaliza", "Nurul Izzah", "Aisyah", "Farah Wahida", "Nur Syafiqah",
                "Intan Maisarah", "Sharifah Nadia", "Puteri Balqis", "Nor Azizah", "Wan Nur'aliya", "Zulaikhā"]
MALAY_FATHERS = ["Abdullah", "Ismail", "Ma'arof", "Hassan", "Rahman", "Othman", "Yusof", "Mat Isa", "Ibrahim",
                 "Kamaruddin", "Sulaiman", "Abd. Razak"]
CHINESE_SURNAMES = [("Tan", "陈"), ("Lim", "林"), ("Lee", "李"), ("Wong", "黄"), ("Chong", "张"), ("Ng", "吴"),
                    ("Ong", "王"), ("Goh", "吴"), ("Chan", "陈"), ("Yap", "叶")]
CHINESE_GIVEN = [("Wei Ling", "伟玲"), ("Chee Keong", "志强"), ("Mei Xin", "美欣"), ("Jia Hui", "佳慧"),
                 ("Kah Wai", "家伟"), ("Siew Mun", "秀文"), ("Zi Xuan", "子轩"), ("Boon Hock", "文福")]
INDIAN_MALE = ["Arjun", "Vikneswaran", "Thinesh", "Ganesh", "Sivakumar", "Prakash", "Karthik", "Raj Kumar"]
INDIAN_FEMALE = ["Priya", "Kavitha", "Devi", "Shalini", "Thivya", "Janani", "Meena", "Sangeetha"]
INDIAN_FATHERS = ["Subramaniam", "Krishnan", "Muthusamy", "Raman", "Selvaraj", "Gopal", "Arumugam", "D'Cruz"]
TAMIL = {"Kavitha": "கவிதா", "Priya": "பிரியா", "Arjun": "அர்ஜுன்", "Ganesh": "கணேஷ்"}
OTHERS = ["Chloé Fernandez", "José Anthony D'Silva", "Léa Marie Gomez", "Renée O'Brien Pereira"]


def person_name(rng):
    kind = rng.random()
    if kind < 0.55:
        if rng.random() < 0.5:
            return f"{rng.choice(MALAY_MALE)} bin {rng.choice(MALAY_FATHERS)}", "M"
        return f"{rng.choice(MALAY_FEMALE)} binti {rng.choice(MALAY_FATHERS)}", "F"
    if kind < 0.80:
        (surname, han_surname), (given, han_given) = rng.choice(CHINESE_SURNAMES), rng.choice(CHINESE_GIVEN)
        name = f"{surname} {given}"
        if rng.random() < 0.25:
            name += f" ({han_surname}{han_given})"
        return name, "M" if rng.random() < 0.5 else "F"
    if kind < 0.97:
        if rng.random() < 0.5:
            given, link, sex = rng.choice(INDIAN_MALE), "a/l", "M"
        else:
            given, link, sex = rng.choice(INDIAN_FEMALE), "a/p", "F"
        name = f"{given} {link} {rng.choice(INDIAN_FATHERS)}"
        if given in TAMIL and rng.random() < 0.4:
            name += f" ({TAMIL[given]})"
        return name, sex
    return rng.choice(OTHERS), "F" if rng.random() < 0.5 else "M"


def ic_number(rng, sex):
    year, month, day = rng.randint(0, 4), rng.randint(1, 12), rng.randint(1, 28)
    last = rng.randrange(1, 10, 2) if sex == "M" else rng.randrange(0, 10, 2)
    return f"{year:02d}{month:02d}{day:02d}-{rng.randint(1, 16):02d}-{rng.randint(0, 999):03d}{last}"


def field(value):
    if value is None:
        return ""  # unquoted empty: Null
    if value == "" or any(c in value for c in ',"\r\n'):
        return '"' + value.replace('"', '""') + '"'
    return value


def write_csv(path, header, rows):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(",".join(header) + "\n")
        for row in rows:
            f.write(",".join(field(v) for v in row) + "\n")


def graduates(count, rng):
    rows = []
    by_programme = sorted(range(count), key=lambda i: i * len(PROGRAMMES) // count)
    for queue, i in enumerate(by_programme, start=1):
        code, _, faculty = PROGRAMMES[i * len(PROGRAMMES) // count]
        if queue == count // 3:
            code, faculty = UNKNOWN_PROGRAMME, "Faculty of Computing"
        name, sex = person_name(rng)
        graduate_id = f"CV24{code}{queue:05d}"
        phone = f"01{rng.choice('0123456789')}-{rng.randint(1000000, 9999999)}"
        if queue % 37 == 5:
            phone = None
        if queue == count // 2:
            phone = ""
        status = "Attending" if rng.random() < 0.9 else "In absentia"
        audio = f"{graduate_id}.wav" if rng.random() < 0.8 else None
        rows.append([graduate_id, name, ic_number(rng, sex), code, faculty, phone, status, audio, str(queue)])
    return rows


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.dirname(os.path.abspath(__file__))
    rng = random.Random(2024)
    write_csv(os.path.join(out, "programmes.csv"), ["Program_Code", "Program_Desc", "Program_Faculty"],
              [list(p) for p in PROGRAMMES])
    write_csv(os.path.join(out, "graduates.csv"),
              ["GraduateID", "Name", "IC", "Programme", "Faculty", "Phone", "Status", "Audio", "Queue"],
              graduates(count, rng))


if __name__ == "__main__":
    main()
