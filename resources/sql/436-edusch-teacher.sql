-- Timetable teacher lines with the class-record teacher lines of the same timetable and
-- teacher: how many, how many taught (Attence 2 or 3), the first and the latest date.
SELECT * FROM (
  SELECT T.ID, T.EduSchID, T.TeacherID, T.EduBgn, T.EduEnd, T.RecordMemo,
    IFNULL(RC.rcdTimes, 0) AS rcdTimes, IFNULL(RC.rcdCountIn, 0) AS rcdCountIn,
    IFNULL(RC.rcdMin, 0) AS rcdMin, IFNULL(RC.rcdMax, 0) AS rcdMax
  FROM TB_EDUSCH_TEACHER AS T
  LEFT JOIN (SELECT RD.EduSchID, RT.TeacherID, COUNT(*) AS rcdTimes,
               SUM(CASE WHEN RT.Attence = 2 OR RT.Attence = 3 THEN 1 ELSE 0 END) AS rcdCountIn,
               MIN(RD.ClassDate) AS rcdMin, MAX(RD.ClassDate) AS rcdMax
             FROM TB_EDURCD_TEACHER AS RT INNER JOIN TB_EDURCD AS RD ON RD.ID = RT.EduRcdID
             WHERE RD.EduSchID <> 0
             GROUP BY RD.EduSchID, RT.TeacherID) AS RC ON RC.EduSchID = T.EduSchID AND RC.TeacherID = T.TeacherID
) AS EDUSCH_TEACHERS
