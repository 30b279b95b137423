<?xml version="1.0" encoding="utf-8"?>
<!-- Registering oneself as a new student or teacher: the fields of the new-record form, the
     phone number proved by an SMS code; the new person is logged in when the record is saved. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="smslogin.xsl"/>

  <xsl:template match="r" mode="title">注册<xsl:value-of select="@itemtype"/></xsl:template>

  <xsl:template match="r" mode="body">
    <section class="acct">
      <h1>注册<xsl:value-of select="@itemtype"/></h1>
      <form class="form" data-acct="addnew" data-next="./" data-ok="注册成功。">
        <input type="hidden" name="mduid" value="{@mduid}"/>
        <input type="hidden" name="save" value="1"/>
        <input type="hidden" name="bind" value="1"/>
        <xsl:for-each select="item/col[@httpnew != 0 and @rw &gt; 0 and @type != 6]">
          <xsl:call-template name="field">
            <xsl:with-param name="key" select="concat('0_0_', @order)"/>
          </xsl:call-template>
        </xsl:for-each>
        <xsl:for-each select="item/col[@httpnew != 0 and @rw &gt; 0 and @type = 6]">
          <xsl:variable name="order" select="@order"/>
          <fieldset>
            <legend><xsl:value-of select="@name"/></legend>
            <xsl:for-each select="item[@pos &gt; 0]">
              <xsl:variable name="pos" select="@pos"/>
              <xsl:for-each select="col[@httpnew != 0 and @rw &gt; 0 and @type != 6]">
                <xsl:call-template name="field">
                  <xsl:with-param name="key" select="concat($order, '_', $pos, '_', @order)"/>
                </xsl:call-template>
              </xsl:for-each>
            </xsl:for-each>
          </fieldset>
        </xsl:for-each>
        <xsl:call-template name="sms-fields"/>
        <p class="acct-msg error" role="alert" hidden="hidden"></p>
        <div class="field"><button type="submit" class="button">注册</button></div>
      </form>
      <p class="links"><a href="bind">已有账户，去登录</a></p>
    </section>
    <xsl:call-template name="acct-script"/>
  </xsl:template>

  <!-- One field: a choice when it has options, else a line of text. -->
  <xsl:template name="field">
    <xsl:param name="key"/>
    <div class="field"><label>
      <xsl:value-of select="@name"/>
      <xsl:choose>
        <xsl:when test="option">
          <select name="{$key}">
            <xsl:variable name="value" select="@wildval"/>
            <xsl:for-each select="option">
              <option value="{@val}">
                <xsl:if test="@val = $value"><xsl:attribute name="selected">selected</xsl:attribute></xsl:if>
                <xsl:value-of select="."/>
              </option>
            </xsl:for-each>
          </select>
        </xsl:when>
        <xsl:otherwise>
          <input name="{$key}" value="{@wildval}" placeholder="{@gray}"/>
        </xsl:otherwise>
      </xsl:choose>
    </label></div>
  </xsl:template>
</xsl:stylesheet>
