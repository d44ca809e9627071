<%@ LANGUAGE="VBSCRIPT" %>
<HTML>
<HEAD><TITLE>Guestbook</TITLE></HEAD>
<BODY BGCOLOR="#FFFFF0">
<H1><FONT FACE="Arial">Guestbook</FONT></H1>
<FORM METHOD="POST" ACTION="guestbook.asp">
<TABLE BORDER="0">
<TR><TD>Name:</TD><TD><INPUT TYPE="TEXT" NAME="name" SIZE="30"></TD></TR>
<TR><TD>Message:</TD><TD><TEXTAREA NAME="msg" ROWS="4" COLS="40"></TEXTAREA></TD></TR>
<TR><TD></TD><TD><INPUT TYPE="SUBMIT" VALUE="Sign"></TD></TR>
</TABLE>
</FORM>
<% If Request.Form("name") <> "" Then %>
<P>Thank you, <%= Server.HTMLEncode(Request.Form("name")) %>!</P>
<% End If %>
<HR>
<P><I>"Lovely show this year!"</I> - Anna, May 1999</P>
</BODY>
</HTML>
