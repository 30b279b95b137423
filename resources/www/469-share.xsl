<?xml version="1.0" encoding="utf-8"?>
<!-- The frame every page shares. A page sheet imports this one and supplies two templates for
     the result root "r": mode "title" (the page's caption) and mode "body" (what the page
     shows). With the parameter update=1 only the body is written: the fragment a script puts
     in place of the page's content on a partial refresh.
     Named templates for the pages: "topbar" (school, current user, logout), "errbox" (the
     page's error when errid is not 100), "hint" (a grey note) and "lines" (a text with its
     line breaks shown; the text stays escaped). -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="utf-8" indent="no" doctype-system="about:legacy-compat"/>
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
            <xsl:apply-templates select="r" mode="topbar"/>
            <div id="page"><xsl:apply-templates select="r" mode="body"/></div>
          </body>
        </html>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="r" mode="title"><xsl:value-of select="@title"/></xsl:template>

  <!-- A page without a bar of its own gets the shared one. -->
  <xsl:template match="r" mode="topbar"><xsl:call-template name="topbar"/></xsl:template>

  <!-- The top bar: the page's title (or the school's name), and while somebody is logged in
       the current user's name with a link to the module menu and a logout button. -->
  <xsl:template name="topbar">
    <xsl:param name="title"><xsl:apply-templates select="/r" mode="title"/></xsl:param>
    <xsl:variable name="user" select="/r/session/user[@curr = '1']"/>
    <header class="topbar">
      <a class="home" href="./">
        <xsl:choose>
          <xsl:when test="string($title) != ''"><xsl:value-of select="$title"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="/r/app/@LtdName"/></xsl:otherwise>
        </xsl:choose>
      </a>
      <xsl:if test="$user">
        <span class="user"><xsl:value-of select="$user/@name"/></span>
        <button type="button" class="button small" data-post="logout" data-next="./">退出</button>
      </xsl:if>
    </header>
  </xsl:template>

  <!-- The page's error, when there is one. -->
  <xsl:template name="errbox">
    <xsl:param name="r" select="/r"/>
    <xsl:if test="$r/@errid and $r/@errid != '100'">
      <div class="error" role="alert">
        <xsl:choose>
          <xsl:when test="$r/@errmsg != ''"><xsl:value-of select="$r/@errmsg"/></xsl:when>
          <xsl:otherwise>操作失败（<xsl:value-of select="$r/@errid"/>）</xsl:otherwise>
        </xsl:choose>
      </div>
    </xsl:if>
  </xsl:template>

  <!-- A grey note under a form or a list. -->
  <xsl:template name="hint">
    <xsl:param name="text"/>
    <xsl:if test="string($text) != ''"><p class="hint"><xsl:value-of select="$text"/></p></xsl:if>
  </xsl:template>

  <!-- A text with its line breaks shown as breaks; every piece stays escaped. -->
  <xsl:template name="lines">
    <xsl:param name="text"/>
    <xsl:choose>
      <xsl:when test="contains($text, '&#10;')">
        <xsl:value-of select="translate(substring-before($text, '&#10;'), '&#13;', '')"/><br/>
        <xsl:call-template name="lines">
          <xsl:with-param name="text" select="substring-after($text, '&#10;')"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="translate($text, '&#13;', '')"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>
</xsl:stylesheet>
