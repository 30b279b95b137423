<?xml version="1.0" encoding="utf-8"?>
<!-- The frame every page shares. A page sheet imports this one and supplies two templates for
     the result root "r": mode "title" (the page's caption) and mode "body" (what the page
     shows). With the parameter update=1 only the body is written: the fragment a script puts
     in place of the page's content on a partial refresh. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="utf-8" indent="no"/>
  <xsl:param name="update" select="''"/>

  <xsl:template match="/">
    <xsl:choose>
      <xsl:when test="$update = '1'">
        <xsl:apply-templates select="r" mode="body"/>
      </xsl:when>
      <xsl:otherwise>
        <html lang="zh-CN">
          <head>
            <meta charset="utf-8"/>
            <meta name="viewport" content="width=device-width, initial-scale=1"/>
            <title><xsl:apply-templates select="r" mode="title"/></title>
            <link rel="stylesheet" href="style.css"/>
            <script src="global.js"></script>
          </head>
          <body>
            <div id="page"><xsl:apply-templates select="r" mode="body"/></div>
          </body>
        </html>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="r" mode="title"><xsl:value-of select="@title"/></xsl:template>
</xsl:stylesheet>
