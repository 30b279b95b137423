-- Lesson packages with their price per period and, over their receipts, how often, when and
-- for how much they were sold. The receipt figures stay NULL for a package never sold: the
-- query option 报名 tests them with IS NULL.
-- Alterations are summed per receipt before the join, so a receipt with several alteration
-- rows is still counted once.
SELECT * FROM (
    SELECT C.ID, C.RecordName, C.CheckBgn, C.CheckEnd, C.ClassType, C.FixedDate, C.ValidDays,
        C.UsefulBgn, C.UsefulEnd, C.LessonNum, C.UnitPrice, C.RecordMemo,
        C.LessonNum * C.UnitPrice AS ChgPrice,
        RCP.rcpPayTimes, RCP.rcpPayMin, RCP.rcpPayMax, RCP.rcpPaySum
    FROM TB_CHARGE AS C
    LEFT JOIN (
        SELECT R.ChargeID, COUNT(*) AS rcpPayTimes, MIN(R.PayDate) AS rcpPayMin, MAX(R.PayDate) AS rcpPayMax,
            SUM(R.PayNum * G.LessonNum * G.UnitPrice * R.AdjDcntVal / 100.0 + R.AdjPriceVal
                + IFNULL(ALT.AltPrice, 0)) AS rcpPaySum
        FROM TB_RECEIPT AS R
        INNER JOIN TB_CHARGE AS G ON G.ID = R.ChargeID
        LEFT JOIN (
            SELECT ReceiptID, SUM(AlterPrice) AS AltPrice FROM TB_RECEIPT_ALTER GROUP BY ReceiptID
        ) AS ALT ON ALT.ReceiptID = R.ID
        GROUP BY R.ChargeID
    ) AS RCP ON RCP.ChargeID = C.ID
) AS CHARGES
