-- Timetables with the figures of their class records: how many there are, how many were
-- held (ClassStatus 2), the first and the latest class date.
SELECT * FROM (
  SELECT E.ID, E.CourseID, E.ClassForm, E.DateBgn, E.DateEnd, E.TimeSpan, E.EduLocation, E.RecordMemo,
    IFNULL(R.rcdTimes, 0) AS rcdTimes, IFNULL(R.rcdCountIn, 0) AS rcdCountIn,
    IFNULL(R.rcdMin, 0) AS rcdMin, IFNULL(R.rcdMax, 0) AS rcdMax
  FROM TB_EDUSCH AS E
  LEFT JOIN (SELECT EduSchID, COUNT(*) AS rcdTimes, SUM(CASE WHEN ClassStatus = 2 THEN 1 ELSE 0 END) AS rcdCountIn,
               MIN(ClassDate) AS rcdMin, MAX(ClassDate) AS rcdMax
             FROM TB_EDURCD WHERE EduSchID <> 0 GROUP BY EduSchID) AS R ON R.EduSchID = E.ID
) AS EDUSCH
