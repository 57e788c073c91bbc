SELECT P_Label, P_Type, P_DefaultValue, P_ComboValues, P_Deleted FROM Properties;
SELECT E_label, E_level, PE_value FROM ElemProperties JOIN Elements USING (E_id);
