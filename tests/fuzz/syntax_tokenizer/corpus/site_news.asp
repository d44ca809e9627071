><%@ LANGUAGE="VBSCRIPT" %>
<% Response.Expires = 0 %>
<HTML>
<HEAD><TITLE>Club News</TITLE></HEAD>
<BODY BGCOLOR="#FFFFFF">
<H1><FONT FACE="Arial" COLOR="#008080">Club News</FONT></H1>
<P>Today is <%= Date() %>.</P>
<TABLE WIDTH="100%" BORDER="0" CELLPADDING="4">
<TR><TD BGCOLOR="#E0F0F0"><B>New greenhouse</B></TD></TR>
<TR><TD>Thanks to the spring show, the club could buy a second greenhouse.
It will be used for seedlings from March.</TD></TR>
<TR><TD BGCOLOR="#E0F0F0"><B>Rose of the year</B></TD></TR>
<TR><TD>Members voted for <I>Gertrude Jekyll</I> again.</TD></TR>
</TABLE>
<P><A HREF="index.htm">Home</A></P>
</BODY>
</HTML>
