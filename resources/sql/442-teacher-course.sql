-- The courses each teacher teaches: one row per (teacher, course) found in the teacher's
-- class-record lines (the record's course) or timetable lines (the timetable's course).
SELECT * FROM (
  SELECT RT.TeacherID, RD.CourseID FROM TB_EDURCD_TEACHER AS RT INNER JOIN TB_EDURCD AS RD ON RD.ID = RT.EduRcdID
  UNION
  SELECT ET.TeacherID, E.CourseID FROM TB_EDUSCH_TEACHER AS ET INNER JOIN TB_EDUSCH AS E ON E.ID = ET.EduSchID
) AS TEACHER_COURSES
