#pragma once

// Numbers the records, the SQL texts, the web pages and the stored data share. The SQL and
// XSL texts name them by the quoted symbols that ReplaceSqlSymbols turns into these values.

// Module ids: equal to each module's resource id and command id.
enum : int {
    MDU_STUDENT = 321,
    MDU_TEACHER = 322,
    MDU_PRJQUERY = 323,
    MDU_PRJORDER = 324,
    MDU_COURSE = 328,
    MDU_CHARGE = 329,
    MDU_RECEIPT = 331,
    MDU_COLLECT = 332,
    MDU_EDUSCH = 333,
    MDU_EDURCD = 334,
    MDU_OPERLOG = 336,
    MDU_TEMPL = 337,
    MDU_WAGES = 338,
};

// Operation types of the operation log.
enum : int {
    OPER_LOGIN = 0,
    OPER_LOGOUT = 1,
    OPER_QUERY = 2,
    OPER_FIND = 3,
    OPER_ADD = 4,
    OPER_DEL = 5,
    OPER_MDF = 6,
    OPER_PRT = 7,
    OPER_MSG = 8,
    OPER_SETUP = 9,
    OPER_RUN = 10,
    OPER_PROXY = 11,
};

// Status levels of validation messages; the highest is the record's status.
enum : int {
    ST_NONE = 0,
    ST_GRAY = 1,
    ST_GOOD = 2,
    ST_WARN = 3,
    ST_STOP = 4,
};

// Kinds of query options.
enum : int {
    QUERY_FIND = 1,
    QUERY_DATE = 2,
    QUERY_MONTH = 3,
    QUERY_ITEM = 4,
    QUERY_OPTION = 5,
    QUERY_HIDE = 6,
};

// Field types of the field tables.
enum : int {
    XNONE = 0,
    XIN = 1,  // int, also an option index
    XNU = 2,  // double: money and amounts
    XDT = 3,  // date
    XBS = 4,  // user-and-date stamp (an embedded CXBase)
    XLK = 5,  // link to a record of another module
    XAR = 6,  // child array
    XIM = 7,  // image
    XTS = 8,  // time span
    XDR = 9,  // date range, always computed
    XSW = 10, // text
    XSA = 11, // narrow byte text, read and written as a stream
    XRW = 12, // per-row print keyword
};

// Rights bits of a module's capability and rights words.
enum : int {
    RIGHT_QRY = 0x02,
    RIGHT_ADD = 0x04,
    RIGHT_MDF = 0x08,
    RIGHT_DEL = 0x10,
    RIGHT_PRT = 0x40,
    RIGHT_MSG = 0x80,
};
