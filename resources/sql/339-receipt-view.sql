-- The enrolment receipts with every figure computed: the one place of receipt arithmetic,
-- repeated in memory by the receipt's validation (the two must agree). Other texts name it
-- as [V_RECEIPT].
-- Each derived table is grouped per receipt before it is joined, so no figure is multiplied
-- by another table's rows; a receipt without alterations, timetables or consuming lines
-- reads 0 for those figures, never NULL.
-- Dates are whole day numbers; DATE() is the program's today. The discount is computed in
-- reals: a whole-number division would drop the fraction of every discounted amount.
SELECT V4.*,
    CASE WHEN V4.AltRtr <> 0 THEN 6
         WHEN V4.Remained = 0 THEN 5
         WHEN V4.Remained < 0 THEN 4
         WHEN V4.SchCur > 0 THEN 3
         WHEN V4.ValidEnd < DATE() THEN 2
         ELSE 1 END AS ItemStatus
FROM (
SELECT V3.*,
    CASE WHEN V3.ZeroLesson <> 0 THEN 0 ELSE V3.LessonEnd - V3.CountIn END AS Remained,
    CASE WHEN V3.ZeroLesson <> 0 THEN V3.LessonEnd - V3.CountIn ELSE 0 END AS LsnInvalid
FROM (
SELECT V2.*,
    CASE WHEN V2.AltRtr <> 0 OR ((V2.FixedDate <> 0 OR V2.ClassType <> 0) AND V2.ValidEnd < DATE()) THEN 1
         ELSE 0 END AS ZeroLesson,
    V2.rcdCountIn AS CountIn
FROM (
SELECT V1.*,
    V1.Lesson + V1.AltLesson AS LessonEnd,
    V1.Pay + V1.AltPrice AS PayEnd,
    CASE WHEN V1.AltRtr = 0 OR V1.AltRtr > V1.PayValid + V1.AltValid THEN V1.PayValid + V1.AltValid
         ELSE V1.AltRtr END AS ValidEnd
FROM (
SELECT V0.*,
    CASE WHEN V0.FixedDate <> 0 THEN V0.UsefulEnd ELSE V0.Bgn + V0.ValidDays * V0.PayNum + V0.AdjValidVal END AS PayValid
FROM (
SELECT R.ID, R.KeyName, R.RecordMemo, R.StudentID, R.PayDate, R.Payer, R.PayType, R.PayNum,
    R.AdjDcntVal, R.AdjDcntMemo, R.AdjPriceVal, R.AdjPriceMemo, R.AdjLsnVal, R.AdjLsnMemo,
    R.AdjGiftVal, R.AdjGiftMemo, R.AdjBgnVal, R.AdjBgnMemo, R.AdjValidVal, R.AdjValidMemo, R.ChargeID,
    CASE WHEN R.AdjDcntVal = 100 THEN 0 ELSE 1 END AS AdjDcnt,
    CASE WHEN R.AdjPriceVal = 0 THEN 0 ELSE 1 END AS AdjPrice,
    CASE WHEN R.AdjLsnVal = 0 THEN 0 ELSE 1 END AS AdjLsn,
    CASE WHEN R.AdjGiftVal = 0 THEN 0 ELSE 1 END AS AdjGift,
    CASE WHEN R.AdjBgnVal = 0 THEN 0 ELSE 1 END AS AdjBgn,
    CASE WHEN R.AdjValidVal = 0 THEN 0 ELSE 1 END AS AdjValid,
    IFNULL(CHG.RecordName, '') AS RecordName, IFNULL(CHG.ClassType, 0) AS ClassType,
    IFNULL(CHG.FixedDate, 0) AS FixedDate, IFNULL(CHG.UsefulBgn, 0) AS UsefulBgn,
    IFNULL(CHG.UsefulEnd, 0) AS UsefulEnd, IFNULL(CHG.ValidDays, 0) AS ValidDays,
    IFNULL(CHG.LessonNum, 0) AS LessonNum, IFNULL(CHG.UnitPrice, 0.0) AS UnitPrice,
    IFNULL(CHG.LessonNum * CHG.UnitPrice, 0.0) AS ChgPrice,
    R.PayNum * IFNULL(CHG.LessonNum, 0) + R.AdjLsnVal AS Lesson,
    R.PayNum * IFNULL(CHG.LessonNum, 0) * IFNULL(CHG.UnitPrice, 0.0) * R.AdjDcntVal / 100.0 + R.AdjPriceVal AS Pay,
    CASE WHEN R.AdjBgnVal <> 0 THEN R.AdjBgnVal
         WHEN IFNULL(CHG.FixedDate, 0) <> 0 THEN CHG.UsefulBgn
         ELSE R.PayDate END AS Bgn,
    IFNULL(ALT.rcpAltPrice, 0.0) AS AltPrice, IFNULL(ALT.RcpAltLesson, 0) AS AltLesson,
    IFNULL(ALT.RcpAltValid, 0) AS AltValid, IFNULL(ALT.RcpAltMax, 0) AS AltMax,
    IFNULL(ALT.RcpAltReturn, 0) AS AltRtr,
    IFNULL(RCH.NewCheckIn, 0) AS NewCheckIn, IFNULL(RCH.HasRenew, 0) AS HasRenew,
    IFNULL(RCH.SchAll, 0) AS SchAll, IFNULL(RCH.SchCur, 0) AS SchCur,
    IFNULL(RCD.rcdMin, 0) AS rcdMin, IFNULL(RCD.rcdMax, 0) AS rcdMax,
    IFNULL(RCD.rcdCountIn, 0) AS rcdCountIn
FROM TB_RECEIPT AS R
LEFT JOIN TB_CHARGE AS CHG ON CHG.ID = R.ChargeID
LEFT JOIN (
    SELECT ReceiptID, SUM(AlterPrice) AS rcpAltPrice, SUM(AlterLesson) AS RcpAltLesson,
        SUM(AlterValid) AS RcpAltValid, MAX(RecordDate) AS RcpAltMax,
        MAX(CASE WHEN AlterType <> 0 THEN RecordDate ELSE 0 END) AS RcpAltReturn
    FROM TB_RECEIPT_ALTER GROUP BY ReceiptID
) AS ALT ON ALT.ReceiptID = R.ID
-- first enrolment and renewal per student and course, and the timetable lines of the
-- student for the receipt's courses
LEFT JOIN (
    SELECT RCC.RcpID,
        CASE WHEN MIN(RCP.crsPayMin) = MIN(RCC.PayDate) THEN 1 ELSE 0 END AS NewCheckIn,
        CASE WHEN MAX(RCP.crsPayMax) > MIN(RCC.PayDate) THEN 1 ELSE 0 END AS HasRenew,
        SUM(IFNULL(SCC.SchA, 0)) AS SchAll, SUM(IFNULL(SCC.SchC, 0)) AS SchCur
    FROM (
        SELECT RR.ID AS RcpID, RR.StudentID, CC.CourseID, RR.PayDate
        FROM TB_CHARGE_COURSE AS CC INNER JOIN TB_RECEIPT AS RR ON RR.ChargeID = CC.ChargeID
    ) AS RCC
    LEFT JOIN (
        SELECT RR.StudentID, CC.CourseID, MIN(RR.PayDate) AS crsPayMin, MAX(RR.PayDate) AS crsPayMax
        FROM TB_CHARGE_COURSE AS CC INNER JOIN TB_RECEIPT AS RR ON RR.ChargeID = CC.ChargeID
        GROUP BY RR.StudentID, CC.CourseID
    ) AS RCP ON RCP.StudentID = RCC.StudentID AND RCP.CourseID = RCC.CourseID
    LEFT JOIN (
        SELECT ES.StudentID, E.CourseID, COUNT(*) AS SchA,
            SUM(CASE WHEN (E.DateEnd = 0 OR E.DateEnd >= DATE()) AND (ES.EduEnd = 0 OR ES.EduEnd >= DATE())
                     THEN 1 ELSE 0 END) AS SchC
        FROM TB_EDUSCH_STUDENT AS ES INNER JOIN TB_EDUSCH AS E ON E.ID = ES.EduSchID
        GROUP BY ES.StudentID, E.CourseID
    ) AS SCC ON SCC.StudentID = RCC.StudentID AND SCC.CourseID = RCC.CourseID
    GROUP BY RCC.RcpID
) AS RCH ON RCH.RcpID = R.ID
-- lessons consumed: on time 2, late 3 and absent 4; pending 0 and leave 1 do not count
LEFT JOIN (
    SELECT RS.ReceiptID, COUNT(*) AS rcdCountIn, MIN(RD.ClassDate) AS rcdMin, MAX(RD.ClassDate) AS rcdMax
    FROM TB_EDURCD_STUDENT AS RS INNER JOIN TB_EDURCD AS RD ON RD.ID = RS.EduRcdID
    WHERE RS.Attence > 1 AND RS.ReceiptID <> 0
    GROUP BY RS.ReceiptID
) AS RCD ON RCD.ReceiptID = R.ID
) AS V0
) AS V1
) AS V2
) AS V3
) AS V4
