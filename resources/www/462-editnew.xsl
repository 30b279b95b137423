<?xml version="1.0" encoding="utf-8"?>
<!-- The new-record form of the "addnew" route: the fields of the web form (httpnew) that the
     user may edit, with the lines of the child lists the form shows. Field names follow the
     route's keys: "0_0_<field>" for the record, "<list>_<line>_<field>" for a line. A refresh
     (update=1) gives the fields again from the values posted so far. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="share.xsl"/>

  <xsl:template match="r" mode="title">
    <xsl:text>新增</xsl:text><xsl:value-of select="@itemtype"/>
  </xsl:template>

  <xsl:template match="r" mode="body">
    <xsl:if test="@errid != '' and @errid != '100'">
      <p class="error"><xsl:value-of select="@errmsg"/></p>
    </xsl:if>
    <xsl:for-each select="item[1]">
      <xsl:if test="@id != '' and @id != '0'">
        <p class="hint"><xsl:text>已保存：</xsl:text><xsl:value-of select="@name"/></p>
      </xsl:if>
      <xsl:if test="@alert != ''">
        <p class="hint"><xsl:value-of select="@alert"/></p>
      </xsl:if>
      <form class="form" method="post" action="addnew">
        <input type="hidden" name="mduid" value="{@mduid}"/>
        <input type="hidden" name="xsl" value="editnew"/>
        <input type="hidden" name="save" value="1"/>
        <div class="list">
          <xsl:for-each select="col[(not(@httpnew) or @httpnew != '0') and @rw = '1']">
            <xsl:choose>
              <xsl:when test="@type = '6'">
                <xsl:variable name="list" select="@order"/>
                <xsl:for-each select="item[@pos != '0']">
                  <xsl:variable name="line" select="@pos"/>
                  <xsl:for-each select="col[@rw = '1' and @type != '6']">
                    <xsl:call-template name="field">
                      <xsl:with-param name="key" select="concat($list, '_', $line, '_', @order)"/>
                    </xsl:call-template>
                  </xsl:for-each>
                </xsl:for-each>
              </xsl:when>
              <xsl:otherwise>
                <xsl:call-template name="field">
                  <xsl:with-param name="key" select="concat('0_0_', @order)"/>
                </xsl:call-template>
              </xsl:otherwise>
            </xsl:choose>
          </xsl:for-each>
        </div>
        <button class="button" type="submit">保存</button>
      </form>
    </xsl:for-each>
  </xsl:template>

  <!-- One field: its caption and an input of its type, holding the raw value. -->
  <xsl:template name="field">
    <xsl:param name="key"/>
    <div class="item">
      <label for="f{$key}"><xsl:value-of select="@name"/></label>
      <xsl:choose>
        <xsl:when test="option">
          <xsl:variable name="value" select="@wildval"/>
          <select id="f{$key}" name="{$key}">
            <xsl:for-each select="option">
              <option value="{@val}">
                <xsl:if test="@val = $value"><xsl:attribute name="selected">selected</xsl:attribute></xsl:if>
                <xsl:value-of select="."/>
              </option>
            </xsl:for-each>
          </select>
        </xsl:when>
        <xsl:when test="@type = '5'">
          <!-- a link: the chosen record travels as its link text, shown by its title -->
          <input type="hidden" name="{$key}" value="{@wildval}"/>
          <span id="f{$key}"><xsl:value-of select="@dispval"/></span>
        </xsl:when>
        <xsl:when test="@type = '1' or @type = '2'">
          <input id="f{$key}" name="{$key}" type="number" value="{@wildval}">
            <xsl:if test="@min and @min &gt; -2147483648"><xsl:attribute name="min"><xsl:value-of select="@min"/></xsl:attribute></xsl:if>
            <xsl:if test="@max and @max &lt; 2147483647"><xsl:attribute name="max"><xsl:value-of select="@max"/></xsl:attribute></xsl:if>
            <xsl:if test="@type = '2'"><xsl:attribute name="step">any</xsl:attribute></xsl:if>
          </input>
        </xsl:when>
        <xsl:when test="@type = '3'">
          <input id="f{$key}" name="{$key}" type="date" value="{@wildval}"/>
        </xsl:when>
        <xsl:when test="@long = '1'">
          <textarea id="f{$key}" name="{$key}"><xsl:value-of select="@wildval"/></textarea>
        </xsl:when>
        <xsl:otherwise>
          <input id="f{$key}" name="{$key}" type="text" value="{@wildval}" placeholder="{@gray}"/>
        </xsl:otherwise>
      </xsl:choose>
      <xsl:if test="@memo != '' and @memo != @name"><span class="hint"><xsl:value-of select="@memo"/></span></xsl:if>
    </div>
  </xsl:template>
</xsl:stylesheet>
