-- Timetable student lines with the class-record lines taken on them (attended from 2 on)
-- and the student's enrolment receipts of the timetable's course, summed. Each part is
-- grouped before the join, so one line's figures never multiply another's. The parts name
-- their student columns apart, so that "StudentID" in the optional conditions is the line's.
SELECT * FROM (
  SELECT S.ID, S.EduSchID, S.StudentID, S.EduBgn, S.EduEnd, S.TimeSpan, S.RecordMemo,
    IFNULL(RC.rcdTimes, 0) AS rcdTimes, IFNULL(RC.rcdCountIn, 0) AS rcdCountIn,
    IFNULL(RC.rcdMin, 0) AS rcdMin, IFNULL(RC.rcdMax, 0) AS rcdMax,
    IFNULL(RP.rcpPayTimes, 0) AS rcpPayTimes, IFNULL(RP.rcpEndMax, 0) AS rcpEndMax,
    IFNULL(RP.rcpLessonAc, 0) AS rcpLessonAc, IFNULL(RP.rcpCountIn, 0) AS rcpCountIn,
    IFNULL(RP.rcpRemained, 0) AS rcpRemained, IFNULL(RP.rcpInvalid, 0) AS rcpInvalid
  FROM TB_EDUSCH_STUDENT AS S
  INNER JOIN TB_EDUSCH AS E ON E.ID = S.EduSchID
  LEFT JOIN (SELECT RS.SchSubID, RS.StudentID AS RcStudentID, COUNT(*) AS rcdTimes,
               SUM(CASE WHEN RS.Attence >= 2 THEN 1 ELSE 0 END) AS rcdCountIn,
               MIN(RD.ClassDate) AS rcdMin, MAX(RD.ClassDate) AS rcdMax
             FROM TB_EDURCD_STUDENT AS RS INNER JOIN TB_EDURCD AS RD ON RD.ID = RS.EduRcdID
             WHERE RD.EduSchID <> 0 AND RS.SchSubID <> 0 /*AND StudentID=?*/
             GROUP BY RS.SchSubID, RS.StudentID) AS RC ON RC.SchSubID = S.ID AND RC.RcStudentID = S.StudentID
  LEFT JOIN (SELECT V_RECEIPT.StudentID AS RpStudentID, CC.CourseID, COUNT(*) AS rcpPayTimes, MAX(V_RECEIPT.ValidEnd) AS rcpEndMax,
               SUM(V_RECEIPT.LessonEnd) AS rcpLessonAc, SUM(V_RECEIPT.CountIn) AS rcpCountIn,
               SUM(V_RECEIPT.Remained) AS rcpRemained, SUM(V_RECEIPT.LsnInvalid) AS rcpInvalid
             FROM [V_RECEIPT] INNER JOIN TB_CHARGE_COURSE AS CC ON CC.ChargeID = V_RECEIPT.ChargeID
             WHERE 1 = 1 /*AND StudentID=?*/
             GROUP BY V_RECEIPT.StudentID, CC.CourseID) AS RP ON RP.RpStudentID = S.StudentID AND RP.CourseID = E.CourseID
  WHERE S.StudentID <> 0 /*AND StudentID=?*/
) AS EDUSCH_STUDENTS
