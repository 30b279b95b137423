-- The open web logins to serve again after a restart: teachers with their rights, students
-- (role 0, no rights data) and the built-in administrator (UserID 0, role 2), newest first.
SELECT L.UserSession, L.UserMduID, L.UserID, T.RealName, L.OperTime, T.RightRole, T.RightData, T.UserPassword
FROM TB_OPERLOG AS L INNER JOIN TB_TEACHER AS T ON T.ID = L.UserID
WHERE L.TypeID = 'OPER_LOGIN' AND L.SessionEnd = 0 AND L.UserSession <> '' AND L.UserID <> 0
  AND L.UserMduID = 'MDU_TEACHER'
UNION ALL
SELECT L.UserSession, L.UserMduID, L.UserID, S.RealName, L.OperTime, 0, '', S.UserPassword
FROM TB_OPERLOG AS L INNER JOIN TB_STUDENT AS S ON S.ID = L.UserID
WHERE L.TypeID = 'OPER_LOGIN' AND L.SessionEnd = 0 AND L.UserSession <> '' AND L.UserID <> 0
  AND L.UserMduID = 'MDU_STUDENT'
UNION ALL
SELECT L.UserSession, L.UserMduID, 0, 'Admin', L.OperTime, 2, '', ''
FROM TB_OPERLOG AS L
WHERE L.TypeID = 'OPER_LOGIN' AND L.SessionEnd = 0 AND L.UserSession <> '' AND L.UserID = 0
ORDER BY OperTime DESC
