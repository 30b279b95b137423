-- Pay standards with their last day: the day before the teacher's next standard begins,
-- cut by the end of the teacher's employment here (employment lines with no employer).
-- An open employment line (DateEnd 0) counts as 999999 before the latest end is taken, so a
-- rehired teacher whose newest line is open stays employed and keeps an open standard.
-- ValidEnd 0 means open.
SELECT * FROM (
  SELECT P.ID, P.TeacherID, P.DateBgn, P.MonthlyPay, P.FullWork, P.PerLate, P.PerLeave, P.PerCut, P.PerStudent,
    P.PerUnit, P.PerEduRcd, P.PerMin, P.RecordMemo,
    CASE WHEN EMP.EmpEnd IS NULL OR EMP.EmpEnd = 999999 THEN IFNULL(NX.NextBgn - 1, 0)
         WHEN NX.NextBgn IS NOT NULL AND NX.NextBgn - 1 <= EMP.EmpEnd THEN NX.NextBgn - 1
         ELSE EMP.EmpEnd END AS ValidEnd
  FROM TB_TEACHER_PAY AS P
  LEFT JOIN (SELECT A.ID, MIN(B.DateBgn) AS NextBgn FROM TB_TEACHER_PAY AS A
             INNER JOIN TB_TEACHER_PAY AS B ON B.TeacherID = A.TeacherID AND B.DateBgn > A.DateBgn
             GROUP BY A.ID) AS NX ON NX.ID = P.ID
  LEFT JOIN (SELECT TeacherID, MAX(CASE WHEN DateEnd = 0 THEN 999999 ELSE DateEnd END) AS EmpEnd
             FROM TB_TEACHER_RESUME WHERE IFNULL(Unit, '') = '' AND Stage IN (7, 8) GROUP BY TeacherID) AS EMP
    ON EMP.TeacherID = P.TeacherID
) AS PAYS
