SELECT count(*), sum(P_Deleted) FROM Properties;
SELECT P_Label, P_Type, quote(P_ComboValues) FROM Properties WHERE P_Deleted = 0 AND P_Autonum > 17 ORDER BY P_Autonum;
