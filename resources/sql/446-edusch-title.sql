-- The title of a timetable: its period, weekday, course and first teacher ("等" when it has
-- more), e.g. "2026年1月7日起 星期三 钢琴 周杰". A teacher whose name another teacher shares
-- is told apart by the petname, as in the teacher's own title.
SELECT * FROM (
  SELECT E.ID,
    FORMATDATE(E.DateBgn, '%Y年%#m月%#d日') ||
    CASE WHEN E.DateEnd = 0 THEN '起' ELSE '至' || FORMATDATE(E.DateEnd, '%Y年%#m月%#d日') END ||
    ' ' || FORMATDATE(E.DateBgn, '%A') || IFNULL(' ' || C.RecordName, '') ||
    IFNULL(' ' || CASE WHEN TN.RptCount > 0 AND T.Petname <> '' THEN T.RealName || ' (' || T.Petname || ')'
                       ELSE T.RealName END, '') ||
    CASE WHEN IFNULL(TC.LineCount, 0) > 1 THEN '等' ELSE '' END AS ItemTitle
  FROM TB_EDUSCH AS E
  LEFT JOIN TB_COURSE AS C ON C.ID = E.CourseID
  LEFT JOIN (SELECT EduSchID, MIN(ID) AS FirstID, COUNT(*) AS LineCount FROM TB_EDUSCH_TEACHER GROUP BY EduSchID) AS TC
    ON TC.EduSchID = E.ID
  LEFT JOIN TB_EDUSCH_TEACHER AS ET ON ET.ID = TC.FirstID
  LEFT JOIN TB_TEACHER AS T ON T.ID = ET.TeacherID
  LEFT JOIN (SELECT RealName, COUNT(*) - 1 AS RptCount FROM TB_TEACHER GROUP BY RealName) AS TN
    ON TN.RealName = T.RealName
) AS EDUSCH_TITLES
