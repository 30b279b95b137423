-- The title of a link to a class record: the date with its weekday, the course and the first
-- teacher (with the petname when another teacher has the same name), "等" when there are more.
SELECT * FROM (
SELECT R.ID,
    CAST(strftime('%Y', R.ClassDate + 2415018.5) AS INTEGER) || '年' ||
    CAST(strftime('%m', R.ClassDate + 2415018.5) AS INTEGER) || '月' ||
    CAST(strftime('%d', R.ClassDate + 2415018.5) AS INTEGER) || '日' ||
    CASE (CAST(R.ClassDate AS INTEGER) + 5) % 7 WHEN 0 THEN '星期一' WHEN 1 THEN '星期二' WHEN 2 THEN '星期三'
        WHEN 3 THEN '星期四' WHEN 4 THEN '星期五' WHEN 5 THEN '星期六' ELSE '星期日' END ||
    IFNULL(C.RecordName, '') ||
    IFNULL((SELECT T.RealName ||
                CASE WHEN EXISTS (SELECT 1 FROM TB_TEACHER AS T2 WHERE T2.RealName = T.RealName AND T2.ID <> T.ID)
                     THEN '(' || T.Petname || ')' ELSE '' END
            FROM TB_EDURCD_TEACHER AS RT INNER JOIN TB_TEACHER AS T ON T.ID = RT.TeacherID
            WHERE RT.EduRcdID = R.ID ORDER BY RT.ID LIMIT 1), '') ||
    CASE WHEN (SELECT COUNT(*) FROM TB_EDURCD_TEACHER AS RT WHERE RT.EduRcdID = R.ID) > 1 THEN '等' ELSE '' END
        AS ItemTitle
FROM TB_EDURCD AS R
LEFT JOIN TB_COURSE AS C ON C.ID = R.CourseID
) AS RT0
