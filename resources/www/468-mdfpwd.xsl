<?xml version="1.0" encoding="utf-8"?>
<!-- Changing the current person's own password. A changed password ends every login of the
     person, so the page sends them back to the login form. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="default.xsl"/>

  <xsl:template match="r" mode="title">修改密码</xsl:template>

  <xsl:template match="r" mode="body">
    <xsl:variable name="user" select="session/user[@curr = '1']"/>
    <section class="acct">
      <h1>修改密码</h1>
      <xsl:choose>
        <xsl:when test="$user">
          <p class="hint">当前用户：<xsl:value-of select="$user/@name"/></p>
          <form class="form" data-acct="mdfpwd" data-next="./" data-ok="密码已修改，请用新密码重新登录。">
            <div class="field"><label>原密码
              <input name="oldpwd" type="password" autocomplete="current-password" data-md5="1" required="required"/>
            </label></div>
            <div class="field"><label>新密码
              <input name="newpwd" type="password" autocomplete="new-password" data-md5="1" required="required"/>
            </label></div>
            <div class="field"><label>再次输入新密码
              <input name="newpwd2" type="password" autocomplete="new-password" data-md5="1" data-same="newpwd"
                     required="required"/>
            </label></div>
            <p class="acct-msg error" role="alert" hidden="hidden"></p>
            <div class="field"><button type="submit" class="button">修改密码</button></div>
          </form>
          <p class="links"><a href="./">返回</a></p>
        </xsl:when>
        <xsl:otherwise>
          <p class="error">请先登录。</p>
          <p class="links"><a href="./">登录</a></p>
        </xsl:otherwise>
      </xsl:choose>
    </section>
    <xsl:call-template name="acct-script"/>
  </xsl:template>
</xsl:stylesheet>
