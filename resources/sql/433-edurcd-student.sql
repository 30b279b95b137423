-- The student lines of class records with the class course, the lesson income of a consuming
-- line (the unit price of its receipt's package) and the student's receipt figures for that
-- course. The figures come from one derived table grouped once per student and course, not
-- from a subquery per line. "/*AND StudentID=?*/" narrows the receipt figures to the one
-- student a query is about; the lines themselves are never narrowed: a class record read
-- without its other students' lines and then saved would delete their attendance.
SELECT S.ID, S.EduRcdID, S.StudentID, S.SchSubID, S.TimeSpan, S.LessonType, S.Attence, S.ReceiptID,
    S.ReceiptID AS OrgReceiptID, S.RecordMemo, R.CourseID,
    CASE WHEN S.Attence > 1 AND S.LessonType = 0 AND S.ReceiptID <> 0 THEN IFNULL(CHG.UnitPrice, 0.0)
         ELSE 0.0 END AS fIncome,
    IFNULL(ST.rcpPayTimes, 0) AS rcpPayTimes, IFNULL(ST.rcpEndMax, 0) AS rcpEndMax,
    IFNULL(ST.rcpLessonAc, 0) AS rcpLessonAc, IFNULL(ST.rcpCountIn, 0) AS rcpCountIn,
    IFNULL(ST.rcpRemained, 0) AS rcpRemained,
    IFNULL(ST.rcpLessonAc, 0) - IFNULL(ST.rcpCountIn, 0) - IFNULL(ST.rcpRemained, 0) AS rcpInvalid
FROM TB_EDURCD_STUDENT AS S
INNER JOIN TB_EDURCD AS R ON R.ID = S.EduRcdID
LEFT JOIN TB_RECEIPT AS RCP ON RCP.ID = S.ReceiptID
LEFT JOIN TB_CHARGE AS CHG ON CHG.ID = RCP.ChargeID
LEFT JOIN (
    SELECT V_RECEIPT.StudentID, CC.CourseID, COUNT(*) AS rcpPayTimes, MAX(V_RECEIPT.ValidEnd) AS rcpEndMax,
        SUM(V_RECEIPT.LessonEnd) AS rcpLessonAc, SUM(V_RECEIPT.CountIn) AS rcpCountIn,
        SUM(CASE WHEN V_RECEIPT.ZeroLesson <> 0 THEN 0 ELSE V_RECEIPT.LessonEnd - V_RECEIPT.CountIn END)
            AS rcpRemained
    FROM [V_RECEIPT]
    INNER JOIN TB_CHARGE_COURSE AS CC ON CC.ChargeID = V_RECEIPT.ChargeID
    WHERE 1 = 1 /*AND StudentID=?*/
    GROUP BY V_RECEIPT.StudentID, CC.CourseID
) AS ST ON ST.StudentID = S.StudentID AND ST.CourseID = R.CourseID
WHERE S.StudentID <> 0
