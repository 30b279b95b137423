-- The teacher list: every column of TB_TEACHER with the name repeats, WeChat bindings, the
-- operation range as a user, and the teacher's timetable and class-record figures. Each
-- source is aggregated per teacher before it is joined, so no join multiplies another's rows.
-- A timetable line runs from its own begin (else the timetable's) to its own end (else the
-- timetable's, else open); an open line makes SchEnd 0. A class-record line counts as
-- planned when the teacher has a line of the record's timetable covering the class date.
SELECT * FROM (
  SELECT T.*,
    CASE WHEN R.RptCount > 0 AND T.Petname <> '' THEN T.RealName || ' (' || T.Petname || ')' ELSE T.RealName END AS ItemTitle,
    T.RealName || T.Petname AS FullName,
    R.RptCount AS RptCount,
    IFNULL(W.WxBinds, 0) AS WxBinds,
    IFNULL(L.OperMin, 0) AS OperMin, IFNULL(L.OperMax, 0) AS OperMax,
    IFNULL(S.SchBgn, 0) AS SchBgn, IFNULL(S.SchEnd, 0) AS SchEnd, IFNULL(S.SchAll, 0) AS SchAll,
    IFNULL(S.SchCur, 0) AS SchCur, IFNULL(S.schRcd, 0) AS schRcd,
    IFNULL(C.rcdMin, 0) AS rcdMin, IFNULL(C.rcdMax, 0) AS rcdMax, IFNULL(C.rcdTimes, 0) AS rcdTimes,
    IFNULL(C.rcdCountIn, 0) AS rcdCountIn, IFNULL(C.rcdLeave, 0) AS rcdLeave, IFNULL(C.rcdMormal, 0) AS rcdMormal,
    IFNULL(C.rcdLate, 0) AS rcdLate, IFNULL(C.rcdAbsent, 0) AS rcdAbsent, IFNULL(C.rcdCancel, 0) AS rcdCancel,
    IFNULL(S.schRcd, 0) + IFNULL(C.rcdExtra, 0) - IFNULL(C.rcdTimes, 0) AS rcdUncert
  FROM TB_TEACHER AS T
  INNER JOIN (SELECT RealName, COUNT(*) - 1 AS RptCount FROM TB_TEACHER GROUP BY RealName) AS R ON R.RealName = T.RealName
  LEFT JOIN (SELECT UserID, COUNT(*) AS WxBinds FROM TB_OPERLOG
             WHERE UserMduID = 'MDU_TEACHER' AND TypeID = 'OPER_LOGIN' AND SessionEnd = 0 AND LEFT(UserSession, 3) = 'wx_'
             GROUP BY UserID) AS W ON W.UserID = T.ID
  LEFT JOIN (SELECT UserID, MIN(OperTime) AS OperMin, MAX(OperTime) AS OperMax FROM TB_OPERLOG
             WHERE UserMduID = 'MDU_TEACHER' GROUP BY UserID) AS L ON L.UserID = T.ID
  LEFT JOIN (
    SELECT TeacherID, MIN(LineBgn) AS SchBgn,
      CASE WHEN MAX(CASE WHEN LineEnd = 0 THEN 999999 ELSE LineEnd END) = 999999 THEN 0 ELSE MAX(LineEnd) END AS SchEnd,
      COUNT(*) AS SchAll,
      SUM(CASE WHEN (EduEnd = 0 OR EduEnd >= DATE()) AND (DateEnd = 0 OR DateEnd >= DATE()) THEN 1 ELSE 0 END) AS SchCur,
      SUM(CASE WHEN LineBgn > DATE() THEN 0
               ELSE CAST(((CASE WHEN LineEnd <> 0 AND LineEnd < DATE() THEN LineEnd ELSE DATE() END) - LineBgn) / 7 + 1 AS INTEGER)
          END) AS schRcd
    FROM (SELECT ET.TeacherID, ET.EduEnd, E.DateEnd,
            CASE WHEN ET.EduBgn <> 0 THEN ET.EduBgn ELSE E.DateBgn END AS LineBgn,
            CASE WHEN ET.EduEnd <> 0 THEN ET.EduEnd ELSE E.DateEnd END AS LineEnd
          FROM TB_EDUSCH_TEACHER AS ET INNER JOIN TB_EDUSCH AS E ON E.ID = ET.EduSchID) AS SL
    GROUP BY TeacherID
  ) AS S ON S.TeacherID = T.ID
  LEFT JOIN (
    SELECT RL.TeacherID, COUNT(*) AS rcdTimes, MIN(RL.ClassDate) AS rcdMin, MAX(RL.ClassDate) AS rcdMax,
      SUM(CASE WHEN RL.Attence = 1 THEN 1 ELSE 0 END) AS rcdLeave,
      SUM(CASE WHEN RL.Attence = 2 THEN 1 ELSE 0 END) AS rcdMormal,
      SUM(CASE WHEN RL.Attence = 3 THEN 1 ELSE 0 END) AS rcdLate,
      SUM(CASE WHEN RL.Attence = 4 THEN 1 ELSE 0 END) AS rcdAbsent,
      SUM(CASE WHEN RL.Attence = 0 AND RL.ClassStatus = 1 THEN 1 ELSE 0 END) AS rcdCancel,
      SUM(CASE WHEN RL.Attence IN (2, 3) AND RL.LessonType = 0 THEN 1 ELSE 0 END) AS rcdCountIn,
      SUM(CASE WHEN RL.Planned = 0 OR RL.ClassDate > DATE() THEN 1 ELSE 0 END) AS rcdExtra
    FROM (
      SELECT RT.TeacherID, RT.Attence, RT.LessonType, RD.ClassDate, RD.ClassStatus,
        EXISTS (SELECT 1 FROM TB_EDUSCH_TEACHER AS ET INNER JOIN TB_EDUSCH AS E ON E.ID = ET.EduSchID
                WHERE ET.EduSchID = RD.EduSchID AND ET.TeacherID = RT.TeacherID
                  AND CAST(RD.ClassDate AS INTEGER) >= (CASE WHEN ET.EduBgn <> 0 THEN ET.EduBgn ELSE E.DateBgn END)
                  AND ((CASE WHEN ET.EduEnd <> 0 THEN ET.EduEnd ELSE E.DateEnd END) = 0
                       OR CAST(RD.ClassDate AS INTEGER) <= (CASE WHEN ET.EduEnd <> 0 THEN ET.EduEnd ELSE E.DateEnd END))) AS Planned
      FROM TB_EDURCD_TEACHER AS RT INNER JOIN TB_EDURCD AS RD ON RD.ID = RT.EduRcdID
    ) AS RL
    GROUP BY RL.TeacherID
  ) AS C ON C.TeacherID = T.ID
) AS TEACHERS
