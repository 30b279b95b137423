<?xml version="1.0" encoding="utf-8"?>
<!-- The module menu of the person logged in: the modules they may open, by navigation group,
     the records they may add at once, the preferences for an administrator, and the people
     logged in on this phone, to switch between, add one more, change the password or log
     out. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="default.xsl"/>

  <xsl:key name="group" match="modules/module" use="@group"/>

  <xsl:template match="r" mode="title"><xsl:call-template name="school"/></xsl:template>

  <xsl:template match="r" mode="body">
    <section class="acct modules">
      <xsl:for-each select="modules/module[generate-id() = generate-id(key('group', @group)[1])]">
        <h2><xsl:value-of select="@group"/></h2>
        <ul class="list">
          <xsl:for-each select="key('group', @group)">
            <li class="item">
              <!-- name and memo in one box: as items of the link's row the memo would squeeze
                   the name into a column one character wide -->
              <a href="query?mduid={@mduid}&amp;xsl=items">
                <span class="caption">
                  <strong><xsl:value-of select="@name"/></strong>
                  <xsl:if test="@memo != '' and @memo != @name">
                    <small><xsl:value-of select="@memo"/></small>
                  </xsl:if>
                </span>
              </a>
            </li>
          </xsl:for-each>
        </ul>
      </xsl:for-each>
      <xsl:if test="not(modules/module)">
        <p class="hint">当前账户没有可以查看的内容。</p>
      </xsl:if>

      <xsl:if test="fastopers/fastoper">
        <h2>快捷操作</h2>
        <div class="fastopers">
          <xsl:for-each select="fastopers/fastoper">
            <form method="post" action="addnew?mduid={@mduid}&amp;xsl=editnew">
              <button type="submit" class="button" title="{@memo}"><xsl:value-of select="@name"/></button>
            </form>
          </xsl:for-each>
        </div>
      </xsl:if>

      <xsl:if test="session/user[@curr = '1']/@role = '2'">
        <h2>管理</h2>
        <ul class="list">
          <li class="item"><a id="setup" href="setup?xsl=setup"><strong>系统设置</strong></a></li>
        </ul>
      </xsl:if>

      <h2>账户</h2>
      <ul class="list users">
        <xsl:for-each select="session/user">
          <li class="item">
            <xsl:value-of select="@name"/>
            <span class="hint"><xsl:text> </xsl:text><xsl:value-of select="@mduname"/></span>
            <xsl:choose>
              <xsl:when test="@curr = '1'"><span class="hint">（当前）</span></xsl:when>
              <xsl:otherwise>
                <button type="button" class="button small" data-acct-post="alter" data-order="{position() - 1}"
                        data-next="./">切换</button>
              </xsl:otherwise>
            </xsl:choose>
          </li>
        </xsl:for-each>
      </ul>
      <p class="links">
        <a href="bind">添加账户</a>
        <xsl:text> · </xsl:text>
        <a id="mdfpwd" href="./?xsl=mdfpwd">修改密码</a>
        <xsl:text> · </xsl:text>
        <button type="button" id="logout" class="button small" data-acct-post="logout" data-next="./">退出当前账户</button>
      </p>
    </section>
    <xsl:call-template name="acct-script"/>
  </xsl:template>
</xsl:stylesheet>
