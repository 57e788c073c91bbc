SELECT P_Autonum, P_Label, P_Type, quote(P_DefaultValue), quote(P_ComboValues), P_Deleted FROM Properties ORDER BY P_Autonum;
SELECT E_label, P_Label, PE_value FROM ElemProperties JOIN Elements USING (E_id) JOIN Properties ON P_Autonum = P_id ORDER BY E_Number1, E_Number2, E_Number3, P_id;
SELECT E_Number1 || '.' || E_Number2 || '.' || E_Number3 || '.' || E_Number4, E_level, E_label FROM Elements ORDER BY 1;
