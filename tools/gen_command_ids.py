#!/usr/bin/env python3
"""Writes resources/strings/CommandIds.h: the symbolic ids of the string table (the names in
its comments) plus the ids the code names that have no text of their own.

Run after editing strings.inc or the names below:  python3 tools/gen_command_ids.py
With --check it only verifies that the header is current (a test runs it so).
"""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
TABLE = ROOT / "resources" / "strings" / "strings.inc"
OUT = ROOT / "resources" / "strings" / "CommandIds.h"

# Ids without a string-table symbol: framework strings, icons, fixed controls and commands
# whose table comment is a description rather than a name.
EXTRA = [
    ("IDD_EDIT_CHARGE", 359),
    ("IDD_EDIT_COLLECT", 360),
    ("IDD_EDIT_COLLECT_ITEM", 361),
    ("IDD_EDIT_COURSE", 362),
    ("IDD_EDIT_EDURCD", 363),
    ("IDD_EDIT_EDURCD_STUDENT", 364),
    ("IDD_EDIT_EDURCD_TEACHER", 365),
    ("IDD_EDIT_EDUSCH", 366),
    ("IDD_EDIT_EDUSCH_STUDENT", 367),
    ("IDD_EDIT_EDUSCH_TEACHER", 368),
    ("IDD_MERGE_REPEAT", 391),
    ("IDC_ALL_NORMAL", 1033),
    ("IDC_CLASS_COUNTED", 1038),
    ("IDC_CLASS_PERIOD", 1039),
    ("IDC_FIXED_LONG", 1042),
    ("IDC_FIXED_SHORT", 1043),
    ("IDC_TRIAL", 1052),
    ("IDC_LOCATION", 1053),
    ("IDC_GROUP", 1054),
    ("IDC_CHOICE_0", 1065),
    ("IDC_CHOICE_1", 1066),
    ("IDC_CHOICE_2", 1067),
    ("IDC_CHOICE_3", 1068),
    ("IDC_CHOICE_4", 1069),
    ("IDC_LESSONS", 1073),
    ("IDC_PAY_NUM", 1099),
    ("IDC_PAY_TYPE", 1105),
    ("IDC_PAYER", 1106),
    ("IDC_VIEW", 1109),
    ("IDC_KEY_NAME", 1132),
    ("IDC_PRICE", 1111),
    ("IDC_UNIT", 1231),
    ("IDC_UNIT_PRICE", 1234),
    ("IDC_USEFUL_BGN", 1235),
    ("IDC_USEFUL_END", 1236),
    ("IDC_VALID_DAYS", 1241),
    ("IDC_STUDENT_LIST", 1248),
    ("IDC_TEACHER_LIST", 1249),
    ("IDC_FORM_MANY", 1254),
    ("IDC_FORM_ONE", 1255),
    ("ID_ADD_COURSES", 32789),
    ("IDS_FRAME_CLOSE", 16105),
    ("IDS_FRAME_CANCEL", 17101),
    ("IDI_HELP", 411),
    ("IDI_INFORMATION", 412),
    ("IDI_ERROR", 415),
    ("IDI_TIP", 416),
    ("IDI_WARNING", 417),
    ("IDH_GENERIC", 128),
    ("IDC_BIRTHDAY", 1037),
    ("IDC_IMAGES", 1108),
    ("IDC_EDIT_REEDIT", 1121),
    ("IDC_TIMESPAN", 1230),
    ("ID_LIST_ADDITEM", 32793),
    ("ID_EDIT_MERGE", 32883),
    ("ID_LINK_SELECT", 33102),
    ("ID_LINK_SELECTMANY", 33103),
    ("ID_EDIT_HISTORY", 33104),
    ("ID_EDIT_FOLDER", 33107),
    ("ID_EDIT_CLEAR", 57632),
    # Commands and icons of the photo strip and the HTML panes.
    ("ID_PHOTO_PREV", 33161),
    ("ID_PHOTO_NEXT", 33163),
    ("ID_ARROW_DN", 33164),
    ("ID_ARROW_UP", 33165),
    ("ID_PHOTO_BACK", 33166),
    ("ID_PHOTO_FORWARD", 33167),
    ("ID_PHOTO_POS", 33168),
    ("ID_PHOTO_VIEW", 33169),
    ("IDI_ONOFF", 33269),
    ("IDI_DETAIL_HIDE", 1055),
    ("IDI_DETAIL_SHOW", 1227),
    # The themed radio buttons and check boxes of list items, drawn as command icons.
    ("ID_IMAGE_RADIO_ON", 32801),
    ("ID_IMAGE_RADIO_ON_DISABLED", 32802),
    ("ID_IMAGE_RADIO_ON_HOT", 32803),
    ("ID_IMAGE_RADIO_OFF", 32804),
    ("ID_IMAGE_RADIO_OFF_DISABLED", 32805),
    ("ID_IMAGE_RADIO_OFF_HOT", 32806),
    ("ID_IMAGE_CHECK_ON", 32807),
    ("ID_IMAGE_CHECK_ON_DISABLED", 32808),
    ("ID_IMAGE_CHECK_ON_HOT", 32809),
    ("ID_IMAGE_CHECK_OFF", 32810),
    ("ID_IMAGE_CHECK_OFF_DISABLED", 32811),
    ("ID_IMAGE_CHECK_OFF_HOT", 32812),
    # The student pages and their line dialogs.
    ("IDD_EDIT_ACCOUNT", 358),
    ("IDD_EDIT_STUDENT", 378),
    ("IDD_EDIT_STUDENT_RESUME", 379),
    ("IDC_RELATION", 1001),
    ("IDC_AREA_ADDR", 1003),
    ("IDC_EXACT_ADDR", 1004),
    ("IDC_NATION", 1077),
    ("IDC_PETNAME", 1107),
    ("IDC_REAL_NAME", 1128),
    ("IDC_DATE_BGN", 1133),
    ("IDC_REFEREER", 1138),
    ("IDC_RESET_PASSWORD", 1143),
    ("IDC_LOGOUT_ALL", 1145),
    ("IDC_DEPARTMENT", 1146),
    ("IDC_FEMALE", 1199),
    ("IDC_MALE", 1200),  # the first radio of the sex choice, and the sex query key
    ("IDC_STAGE_LAST", 1223),
    ("IDC_ACCOUNT_LIST", 1244),
    ("IDC_RESUME_LIST", 1246),
    ("IDC_LOGIN", 1252),  # the login-allowed check box, and the login query key
    # Framework strings.
    ("IDS_TEXT_NOT_FOUND", 61858),
    # The find options of a module window.
    ("ID_FIND_WHOLEWORD", 33210),
    ("ID_FIND_MATCHCASE", 33211),
    ("ID_FIND_DIRECTION", 33212),
    # The web pane of the status bar: connected to the relay, or not.
    ("IDI_WEB_OFFLINE", 413),
    ("IDI_WEB_ONLINE", 414),
    # Controls. Control ids are per dialog; one number keeps one name in every dialog that
    # uses it, so the name says what the control is for, not which dialog holds it.
    ("IDC_HTML_PANE", 12),  # the placeholder an HTML pane fills
    ("IDC_SPAN_CHECK", 6),  # the time-span control's own children
    ("IDC_SPAN_BEGIN", 7),
    ("IDC_SPAN_END", 8),
    ("IDC_SPAN_DURATION", 9),
    ("IDC_IDCARD", 1057),
    ("IDC_MOVE_DOWN", 1075),  # down a list, or from the upper list into the lower one
    ("IDC_MOVE_UP", 1076),
    ("IDC_MORE", 1118),
    ("IDC_ONTOP", 1119),
    ("IDC_SAVEAS", 1120),
    ("IDC_MEMO", 1134),
    ("IDC_TITLE", 1135),
    ("IDC_CONTENT", 1137),
    ("IDC_RESET", 1139),
    ("IDC_PAGES", 1225),
    ("IDC_RECORD_LIST", 1243),
    ("IDC_CHOSEN_LIST", 1247),
    ("IDC_LOGOUT", 1279),
    # Query-map keys: the ids of the query form's controls that hold them.
    ("QKEY_DATE_FROM", 1047),  # the first day of a date-range query
    ("QKEY_DATE_TO", 1048),  # its last day (none: open to the end)
    ("IDC_ENABLED", 1064),  # the enabled check box, and the query key "1" for enabled records only
    ("QKEY_OPER_TYPE", 1071),
    ("QKEY_MODULE", 1074),  # the module a scheme or template query is for
    ("QKEY_OPER_SOURCE", 1079),
    ("QKEY_EDIT_LINKS", 1131),  # item links of the records whose edit log is asked for
    ("QKEY_SESSION_ENDED", 1275),
    ("QKEY_OPER_WECHAT", 1281),
    ("QKEY_OPER_USER_KIND", 1282),
    # Dialog templates.
    ("IDD_APP_LOGIN", 354),
    ("IDD_APP_SETUP", 356),
    ("IDD_HEADS", 369),
    ("IDD_EDIT_HISTORY", 370),
    ("IDD_EDIT_PRJORDER", 371),
    ("IDD_EDIT_PRJQUERY", 372),
    ("IDD_EDIT_RELATE", 376),
    ("IDD_EDIT", 377),
    ("IDD_EDIT_VIEWITEMS", 387),
    ("IDD_IMPORT_INFO", 390),
    ("IDD_QUERY", 397),
    ("IDD_SEL_HISTORY", 399),
    ("IDD_SEL_MODULE", 401),
    ("IDD_SEL_MUL", 402),
    ("IDD_SEL_ONE", 403),
    ("IDD_EDIT_OPERLOG", 407),
    # Numbered resources (resources/<type>/<id>-....): SQL, CSV, PNG and web files.
    ("IDR_SQL_RECEIPT_VIEW", 339),
    ("IDR_PNG_NO_PHOTO", 425),
    ("IDR_CSV_AREAS", 429),
    ("IDR_CSV_PAPERS", 430),
    ("IDR_SQL_UPGRADE", 447),
    ("IDR_SQL_HTTP_SESSIONS", 449),
    ("IDR_WWW_INNER_XSL", 464),
    # The teacher pages and their line dialogs.
    ("IDD_EDIT_TEACHER", 380),
    ("IDD_EDIT_TEACHER_PAY", 381),
    ("IDD_EDIT_TEACHER_RESUME", 382),
    ("IDD_EDIT_TEACHER_RIGHT", 383),
    ("IDC_RELATION", 1001),
    ("IDC_AREA_ADDR", 1003),
    ("IDC_EXACT_ADDR", 1004),
    ("IDC_NATION", 1077),
    ("IDC_FULL_WORK", 1094),
    ("IDC_PER_CUT", 1095),
    ("IDC_PER_LATE", 1096),
    ("IDC_PER_LEAVE", 1097),
    ("IDC_MONTHLY_PAY", 1098),
    ("IDC_PER_EDURCD", 1100),
    ("IDC_PER_MIN", 1101),
    ("IDC_PER_STUDENT", 1103),
    ("IDC_PER_UNIT", 1104),
    ("IDC_PETNAME", 1107),
    ("IDC_POLITICAL", 1110),
    ("IDC_RESET_PASSWORD", 1143),
    ("IDC_DEPARTMENT", 1146),
    ("IDC_RESUME_UNIT", 1149),
    ("IDC_ROLE_USER", 1160),  # the role radios, and the query key of roles
    ("IDC_ROLE_OPERATOR", 1161),
    ("IDC_ROLE_ADMIN", 1162),
    ("IDC_FEMALE", 1199),
    ("IDC_MALE", 1200),  # the sex radios, and the query key of sex
    ("IDC_STAGE_0", 1202),  # the nine résumé stages, 小初 .. 兼职
    ("IDC_STAGE_1", 1203),
    ("IDC_STAGE_2", 1204),
    ("IDC_STAGE_3", 1205),
    ("IDC_STAGE_4", 1206),
    ("IDC_STAGE_5", 1207),
    ("IDC_STAGE_6", 1208),
    ("IDC_STAGE_7", 1209),
    ("IDC_STAGE_8", 1210),
    ("IDC_ACCOUNT_LIST", 1244),
    ("IDC_PAY_LIST", 1245),
    ("IDC_RESUME_LIST", 1246),
    # The enrolment receipt pages and the alteration dialog.
    ("IDD_EDIT_RECEIPT", 373),
    ("IDD_EDIT_RECEIPT_ALT", 374),
    ("IDD_EDIT_RECEIPT_ALT_ITEM", 375),
    ("IDC_ADJ_BGN_MEMO", 1005),  # each adjustment: its check box, value and note
    ("IDC_ADJ_BGN_VAL", 1006),
    ("IDC_ADJ_DCNT_MEMO", 1007),
    ("IDC_ADJ_DCNT_VAL", 1008),
    ("IDC_ADJ_GIFT_MEMO", 1009),
    ("IDC_ADJ_GIFT_VAL", 1010),
    ("IDC_ADJ_LSN_MEMO", 1011),
    ("IDC_ADJ_LSN_VAL", 1012),
    ("IDC_ADJ_PRICE_MEMO", 1013),
    ("IDC_ADJ_PRICE_VAL", 1014),
    ("IDC_ADJUST", 1015),  # the receipts' query key of adjustments
    ("IDC_ADJ_DCNT", 1016),
    ("IDC_ADJ_PRICE", 1017),
    ("IDC_ADJ_LSN", 1018),
    ("IDC_ADJ_GIFT", 1019),
    ("IDC_ADJ_BGN", 1020),
    ("IDC_ADJ_VALID", 1021),
    ("IDC_ADJ_VALID_MEMO", 1022),
    ("IDC_ADJ_VALID_VAL", 1023),
    ("IDC_ALTER_TYPE", 1025),  # the alteration type radios, and the receipts' query key of alterations
    ("IDC_INSIDER", 1058),
    ("IDC_PAY", 1092),
    # The ribbon, its quick access toolbar and its dialog, the navigation pane.
    ("IDR_XML_RIBBON", 134),
    ("IDD_RIBBON_QAT", 398),
    ("IDC_QAT_COMMANDS", 1150),
    ("IDC_QAT_CATEGORIES", 1152),
    ("IDC_QAT_BELOW", 1153),
    ("IDC_QAT_LIST", 1154),
    ("IDC_QAT_ADD", 1155),
    ("IDC_QAT_REMOVE", 1156),
    ("IDC_QAT_UP", 1157),
    ("IDC_QAT_DOWN", 1158),
    ("IDC_QAT_RESET", 1159),
    ("IDS_CUSTOMIZE_QAT", 17096),
    ("ID_NAVBAR_COLLAPSEALL", 32798),
    ("ID_NAVBAR_EXPANDALL", 32799),
    ("ID_RIBBON_SWITCH", 33121),
    ("ID_RIBBON_QAT_BELOW", 33125),
    ("ID_RIBBON_QAT_MORE", 33126),
    ("ID_RIBBON_MINIMIZE", 33127),
    ("ID_RIBBON_QAT_ADD", 33128),
    ("ID_RIBBON_QAT_REMOVE", 33129),
    ("ID_RIBBON_CONTEXT", 33267),
    ("IDD_ABOUTBOX", 351),  # the about box
    ("IDD_APP_SERIAL", 355),  # the password change
    ("IDR_PNG_BANNER", 419),  # the banner of the login window and the about box
    ("IDR_HTML_VERSION", 459),  # the built-in version document
    ("IDC_LINK_LINE", 1030),  # the version and notice line of the login window and the about box
    ("IDC_APP_NAME", 1032),
    ("IDC_QRCODES", 1060),
    ("IDC_RELEASE_NOTES", 1233),
    ("IDC_PASSWORD", 1237),
    ("IDC_PASSWORD_CONFIRM", 1238),
    ("IDC_PASSWORD_NEW", 1239),
    ("IDC_PASSWORD_OLD", 1240),
    ("ID_APP_UPDATE", 32781),  # update now
    # prefs: ids added with this branch's work.
    ("IDD_APP_SETUP_PAGE", 357),
    ("IDC_SETUP_BACKUP_NOW", 1046),
    ("IDC_SETUP_PLACEHOLDER", 1080),
    ("IDC_SETUP_GROUPS", 1081),
    ("IDC_SETUP_RESET_BACKUP", 1140),
    ("IDC_SETUP_RESET_INFO", 1141),
    ("IDC_SETUP_RESET_OPTIONS", 1142),
    ("IDC_SETUP_RESET_LOGO", 1144),
    ("IDC_SETUP_WX_TEST", 1148),
    ("IDC_SETUP_BACKUP_DAYS", 1163),
    ("IDC_SETUP_BACKUP_HOLD", 1164),
    ("IDC_SETUP_BACKUP_PATH", 1165),
    ("IDC_SETUP_BACKUP_FOLDER", 1166),
    ("IDC_SETUP_BIG_LOGO_CHANGE", 1167),
    ("IDC_SETUP_DEFAULT_PWD0", 1168),
    ("IDC_SETUP_DEFAULT_PWD1", 1169),
    ("IDC_SETUP_DEMO_WARN_DAYS", 1170),
    ("IDC_SETUP_DEFAULT_DUR0", 1171),
    ("IDC_SETUP_DEFAULT_DUR1", 1172),
    ("IDC_SETUP_KEY_FMT_CLC", 1173),
    ("IDC_SETUP_KEY_FMT_RCP", 1174),
    ("IDC_SETUP_CLASS_FORM", 1175),
    ("IDC_SETUP_IMG_SIZE_MAX", 1176),
    ("IDC_SETUP_LOGIN_TIMEOUT", 1177),
    ("IDC_SETUP_BIG_LOGO", 1179),
    ("IDC_SETUP_LTD_CONTACT", 1180),
    ("IDC_SETUP_LTD_LOCATION", 1181),
    ("IDC_SETUP_STD_LOGO_CHANGE", 1182),
    ("IDC_SETUP_RECORD_NAME", 1183),
    ("IDC_SETUP_GROUP_NAME", 1184),
    ("IDC_SETUP_STD_LOGO", 1185),
    ("IDC_SETUP_LTD_TITLE", 1186),
    ("IDC_SETUP_OPEN_WITH_XLS", 1187),
    ("IDC_SETUP_OPEN_WITH_RTF", 1188),
    ("IDC_SETUP_RCD_ADVANCE", 1189),
    ("IDC_SETUP_WARN_REMAINED", 1191),
    ("IDC_SETUP_WX_APPID", 1192),
    ("IDC_SETUP_WX_SECRET", 1193),
    ("IDC_SETUP_WX_VERIFY", 1194),
    ("IDC_SETUP_WX_DOMAIN", 1195),
    ("IDC_SETUP_WX_LOGIN_URL", 1196),
    ("IDC_SETUP_WX_WHITELIST", 1198),
    ("IDC_SETUP_WX_HOWTO", 1224),
    # templ: ids added with this branch's work.
    ("IDR_TOOLBAR_TEMPL", 133),
    ("IDD_EDIT_TEMPL", 384),
    ("IDD_EDIT_TEMPL_CTRL", 385),
    ("IDD_EDIT_TEMPL_EX", 386),
    ("IDD_SEL_KEYWORD", 400),
    ("IDD_SEL_PRINTER", 404),
    ("IDD_SEL_TEMPL", 408),
    ("IDR_RTF_GENERAL_RECEIPT", 450),
    ("IDR_RTF_SIGN_IN_SHEET", 451),
    ("IDR_RTF_ENROLMENT_RECEIPT", 452),
    ("IDC_TEMPL_PRINT_MONO", 1114),
    ("IDC_TEMPL_PRINT_COLOR", 1113),
    ("IDC_TEMPL_DUPLEX_NONE", 1049),
    ("IDC_TEMPL_DUPLEX_LONG", 1050),
    ("IDC_TEMPL_DUPLEX_SHORT", 1051),
    ("IDC_TEMPL_PAGING", 1082),
    ("IDC_TEMPL_PAPER_LENGTH", 1083),
    ("IDC_TEMPL_PORTRAIT", 1084),
    ("IDC_TEMPL_LANDSCAPE", 1085),
    ("IDC_TEMPL_MARGIN_BOTTOM", 1086),
    ("IDC_TEMPL_MARGIN_LEFT", 1087),
    ("IDC_TEMPL_MARGIN_RIGHT", 1088),
    ("IDC_TEMPL_MARGIN_TOP", 1089),
    ("IDC_TEMPL_PAPER", 1090),
    ("IDC_TEMPL_PAPER_WIDTH", 1091),
    ("IDC_TEMPL_PRINT_REPLACE", 1112),
    ("IDC_TEMPL_COPIES", 1115),
    ("IDC_TEMPL_PRINTER", 1116),
    ("IDC_TEMPL_RICHEDIT", 1229),
    ("IDC_TEMPL_MODULE", 1266),
    ("ID_TEMPL_INSERT_KEYWORD", 32900),
    ("ID_TEMPL_OPEN_RTF", 32901),
    ("ID_FILE_SAVE_AS", 57604),
    # wages: ids added with this branch's work.
    ("IDD_EDIT_WAGES", 388),
    # relay and WeChat dialogs
    ("IDD_APP_EXPLORER", 353),
    ("IDD_PROXY_PWD", 395),
    ("IDD_PROXY_VIEW", 396),
    ("IDD_SEND_WX_MSG", 405),
    ("IDR_GIF_WAIT", 410),
    ("IDR_PNG_PASSWORD", 423),
    ("IDR_PNG_PHONE", 424),
    ("IDR_PNG_SMSCODE", 426),
    ("IDR_PNG_USER", 427),
    ("IDR_CSV_MIME", 428),
    ("IDR_WWW_STYLE_CSS", 453),
    ("IDR_WWW_GLOBAL_JS", 455),
    ("IDR_WWW_MD5_JS", 456),
    ("IDR_WWW_QRCODE_JS", 457),
    ("IDR_WWW_TMPLMSG_XML", 458),
    ("IDR_WWW_DEFAULT_XSL", 460),
    ("IDR_WWW_DETAIL_XSL", 461),
    ("IDR_WWW_EDITNEW_XSL", 462),
    ("IDR_WWW_EDIT_XSL", 463),
    ("IDR_WWW_ITEMS_XSL", 465),
    ("IDR_WWW_MODULES_XSL", 466),
    ("IDR_WWW_REGNEW_XSL", 467),
    ("IDR_WWW_MDFPWD_XSL", 468),
    ("IDR_WWW_SHARE_XSL", 469),
    ("IDR_WWW_SMSLOGIN_XSL", 470),
    ("IDR_WWW_TMPLMSG_XSL", 471),
    ("IDR_WWW_SETUP_XSL", 472),
    ("IDR_WWW_RESETPWD_XSL", 474),
    ("IDC_WXMSG_PREVIEW", 1136),
    ("IDC_WXMSG_TMPL0", 1260),
    ("IDC_WXMSG_TMPL4", 1264),
    ("IDC_WXMSG_USERDEF", 1265),
    ("IDR_PNG_BIGLOGO", 420),
    ("IDR_PNG_STDLOGO", 421),
    ("IDC_PROXY_START_TIME", 1124),
    ("IDC_PROXY_STATUS_LINE", 1256),
    ("IDC_PROXY_SERVER_INTERNET", 1257),
    ("IDC_PROXY_SERVER_LOCAL", 1258),
]

ENTRY = re.compile(r"^\s*\{(\d+),.*//\s*([A-Z][A-Z0-9_]*)\s*$")


def main():
    ids = {}
    for line in TABLE.read_text(encoding="utf-8").splitlines():
        m = ENTRY.match(line)
        if m and m.group(2).startswith("ID"):
            ids.setdefault(m.group(2), int(m.group(1)))
    for name, value in EXTRA:
        if name in ids and ids[name] != value:
            sys.exit(f"{name}: {ids[name]} in the table, {value} here")
        ids.setdefault(name, value)
    # One name per number: a second name for a number already named is an error, not an alias.
    names = {}
    for name, value in ids.items():
        if value in names:
            sys.exit(f"{value}: named both {names[value]} and {name}")
        names[value] = name
    lines = [
        "#pragma once",
        "",
        "// Generated by tools/gen_command_ids.py from strings.inc; edit the table or the script.",
        "// Command, control, dialog, string, icon, query-key and resource ids by name.",
        "enum : int {",
    ]
    for name, value in sorted(ids.items(), key=lambda kv: (kv[1], kv[0])):
        lines.append(f"    {name} = {value},")
    lines += ["};", ""]
    text = "\n".join(lines)
    if "--check" in sys.argv[1:]:
        if OUT.read_text(encoding="utf-8") != text:
            sys.exit(f"{OUT.relative_to(ROOT)} is not what the table and the script give; run {Path(__file__).name}")
        return
    OUT.write_text(text, encoding="utf-8")


if __name__ == "__main__":
    main()
