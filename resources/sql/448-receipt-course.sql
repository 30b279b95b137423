-- The courses of each receipt: those of its package, never stored with the receipt.
SELECT * FROM (
    SELECT R.ID, CC.CourseID
    FROM TB_CHARGE_COURSE AS CC
    LEFT JOIN TB_RECEIPT AS R ON R.ChargeID = CC.ChargeID
) AS RECEIPT_COURSES
