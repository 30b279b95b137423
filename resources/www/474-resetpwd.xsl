<?xml version="1.0" encoding="utf-8"?>
<!-- Forgotten password: the phone number proves the person by an SMS code, and the password
     goes back to the school's initial one. The same sheet shows the answer page of a reset
     (username and defaultpwd), whether the reset came from this form or from an
     administrator on a record's page. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="smslogin.xsl"/>

  <xsl:template match="r" mode="title">重置密码</xsl:template>

  <xsl:template match="r" mode="body">
    <section class="acct">
      <xsl:choose>
        <xsl:when test="@defaultpwd">
          <h1>密码已重置</h1>
          <p class="ok">
            <xsl:value-of select="@username"/>
            <xsl:text> 的密码已重置为初始密码：</xsl:text>
            <strong><xsl:value-of select="@defaultpwd"/></strong>
          </p>
          <p class="hint">请用初始密码登录后尽快修改密码。</p>
          <p class="links"><a href="./">返回</a></p>
        </xsl:when>
        <xsl:otherwise>
          <h1>忘记密码</h1>
          <form class="form" data-acct="resetpwd"
                data-ok="{{username}} 的密码已重置为初始密码：{{defaultpwd}}。请登录后尽快修改密码。">
            <xsl:call-template name="sms-fields"/>
            <div class="field"><label>姓名（同一手机号有多个账户时填写）
              <input name="username" autocomplete="name"/>
            </label></div>
            <p class="acct-msg error" role="alert" hidden="hidden"></p>
            <div class="field"><button type="submit" class="button">重置密码</button></div>
          </form>
          <p class="links"><a href="bind">返回登录</a></p>
        </xsl:otherwise>
      </xsl:choose>
    </section>
    <xsl:call-template name="acct-script"/>
  </xsl:template>
</xsl:stylesheet>
