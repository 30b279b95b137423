<?xml version="1.0" encoding="UTF-8"?>
<!-- The desktop detail panes: record XML (root "r", one or more "item" elements) as plain
     HTML 4 with tables and simple CSS, which the panes' text browser renders. Links are the
     program's own: "xl:<module>:<id>" opens a record, "xc:<command>" sends a command; the
     "img?id=..." sources are replaced by icons before the HTML is shown. Only the fields of
     the detail set show ("coldetail"; for child lines their sub-list set): the keys that tie
     records together are written for the web pages, not for reading. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:output method="html" encoding="UTF-8" indent="no"/>

<xsl:template match="/">
<html>
<head>
<style type="text/css">
body { font-size: 9pt; margin: 4px; }
table.rec { margin-bottom: 8px; }
td.title { font-size: 11pt; font-weight: bold; padding-bottom: 4px; }
td.group { font-weight: bold; color: #1f4e79; border-bottom: 1px solid #9dc3e6; padding-top: 6px; }
td.cap { color: #7f7f7f; white-space: nowrap; padding-right: 8px; }
td.alert { color: #c00000; }
td.gray { color: #a0a0a0; }
th { color: #7f7f7f; font-weight: normal; text-align: left; background-color: #f2f2f2; }
</style>
</head>
<body>
<xsl:apply-templates select="r/item"/>
</body>
</html>
</xsl:template>

<xsl:template match="item">
<table class="rec" width="100%" cellspacing="0" cellpadding="2">
<tr>
<td class="title" colspan="2">
<xsl:if test="@itemtype != ''"><xsl:value-of select="@itemtype"/><xsl:text>：</xsl:text></xsl:if>
<xsl:value-of select="@name"/>
<xsl:if test="col[@rw = '1']"><xsl:text> </xsl:text><a href="xc:modify"><img src="img?id=modify" width="16" height="16"/></a></xsl:if>
</td>
</tr>
<xsl:if test="@alert != ''">
<tr><td class="alert" colspan="2"><img src="img?id=warn" width="16" height="16"/><xsl:text> </xsl:text><xsl:value-of select="@alert"/></td></tr>
</xsl:if>
<xsl:if test="@delalt != ''">
<tr><td class="alert" colspan="2"><img src="img?id=tip" width="16" height="16"/><xsl:text> </xsl:text><xsl:value-of select="@delalt"/></td></tr>
</xsl:if>
<xsl:for-each select="col[@coldetail = '1']">
<xsl:variable name="group" select="@group"/>
<xsl:if test="position() = 1 or preceding-sibling::col[@coldetail = '1'][1]/@group != $group">
<tr><td class="group" colspan="2"><xsl:value-of select="$group"/>
<xsl:if test="@relcmdid"><xsl:text> </xsl:text><a href="xc:{@relcmdid}"><img src="img?id=relate" width="16" height="16"/></a></xsl:if>
</td></tr>
</xsl:if>
<xsl:choose>
<xsl:when test="@type = '6'">
<tr><td class="cap" colspan="2"><xsl:value-of select="@name"/></td></tr>
<tr><td colspan="2"><xsl:call-template name="lines"/></td></tr>
</xsl:when>
<xsl:otherwise>
<tr><td class="cap" width="1%"><xsl:value-of select="@name"/></td><xsl:call-template name="value"/></tr>
</xsl:otherwise>
</xsl:choose>
</xsl:for-each>
</table>
</xsl:template>

<!-- One value cell: links to records as links, empty values in grey. -->
<xsl:template name="value">
<xsl:choose>
<xsl:when test="(@type = '5' or @type = '4') and @wildval != '0' and @mduid != '0'">
<td><a href="xl:{@mduid}:{@wildval}"><xsl:value-of select="@dispval"/></a>
<xsl:if test="@type = '4' and @xbsdate != ''"><xsl:text> </xsl:text><xsl:value-of select="@xbsdate"/></xsl:if></td>
</xsl:when>
<xsl:when test="@dispval = '' or @dispval = @gray">
<td class="gray"><xsl:value-of select="@gray"/></td>
</xsl:when>
<xsl:otherwise>
<td><font color="{@color}"><xsl:value-of select="@dispval"/></font></td>
</xsl:otherwise>
</xsl:choose>
</xsl:template>

<!-- A child list: one row per line (not the blank template line), one column per field the
     line shows. -->
<xsl:template name="lines">
<xsl:variable name="rows" select="item[@pos != '0']"/>
<xsl:if test="$rows">
<table width="100%" cellspacing="0" cellpadding="2" border="0">
<tr><xsl:for-each select="$rows[1]/col[@coldetail = '1']"><th><xsl:value-of select="@name"/></th></xsl:for-each></tr>
<xsl:for-each select="$rows">
<tr><xsl:for-each select="col[@coldetail = '1']"><xsl:call-template name="value"/></xsl:for-each></tr>
</xsl:for-each>
</table>
</xsl:if>
</xsl:template>

</xsl:stylesheet>
